#include "render/tile_layout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

namespace maxhost {
namespace {

TileLayout Planks() {
  TileLayout l;
  l.rowHeight = 0.1f;
  l.minLength = 0.4f;
  l.maxLength = 0.8f;
  l.grout = 0.01f;
  l.seed = 7;
  return l;
}

TEST(TileLayout, RowsHaveTheirOwnDeterministicLengthsAndOffsets) {
  const TileLayout l = Planks();
  std::set<float> lengths;
  for (int row = -5; row < 20; ++row) {
    const float len = RowPlankLength(l, row);
    EXPECT_GE(len, 0.4f);
    EXPECT_LE(len, 0.8f);
    EXPECT_EQ(len, RowPlankLength(l, row));
    const float off = RowOffset(l, row);
    EXPECT_GE(off, 0.0f);
    EXPECT_LT(off, len);
    lengths.insert(len);
  }
  EXPECT_GT(lengths.size(), 10u);
  TileLayout other = l;
  other.seed = 8;
  EXPECT_NE(RowPlankLength(l, 3), RowPlankLength(other, 3));
}

TEST(TileLayout, IdsAreUniqueAndExactAsFloats) {
  std::set<int> ids;
  for (int row = -3; row < 30; ++row)
    for (int col = -3; col < 30; ++col) {
      const int id = TileId(row, col);
      EXPECT_GE(id, 1);
      EXPECT_EQ(int(float(id)), id);
      ids.insert(id);
    }
  EXPECT_EQ(ids.size(), 33u * 33u);
}

TEST(TileLayout, PointsInsideOnePlankShareItsIdAndGetLocalCoordinates) {
  const TileLayout l = Planks();
  const int row = 2;
  const float len = RowPlankLength(l, row), off = RowOffset(l, row);
  // The plank of column 1 spans x = u + off in [len, 2 len).
  const float uStart = len - off;
  const TileHit a = LocateTile(l, uStart + 0.25f * len, 0.21f);
  const TileHit b = LocateTile(l, uStart + 0.75f * len, 0.28f);
  EXPECT_FALSE(a.grout);
  EXPECT_FALSE(b.grout);
  EXPECT_EQ(a.row, row);
  EXPECT_EQ(a.column, 1);
  EXPECT_EQ(a.id, b.id);
  EXPECT_EQ(a.id, TileId(row, 1));
  const float faceW = len - l.grout;
  EXPECT_NEAR(a.faceWidth, faceW, 1e-5f);
  EXPECT_NEAR(a.faceHeight, l.rowHeight - l.grout, 1e-5f);
  EXPECT_NEAR(a.localU, (0.25f * len - 0.005f) / faceW, 1e-4f);
  EXPECT_NEAR(a.localV, (0.01f - 0.005f) / 0.09f, 1e-4f);
  EXPECT_NEAR(b.localU, (0.75f * len - 0.005f) / faceW, 1e-4f);
  // The next plank along has another id.
  EXPECT_NE(LocateTile(l, uStart + 1.25f * len, 0.21f).id, a.id);
  // The row above has another id.
  EXPECT_NE(LocateTile(l, uStart + 0.25f * len, 0.31f).id, a.id);
}

TEST(TileLayout, GroutLinesSeparateRowsAndPlanks) {
  const TileLayout l = Planks();
  EXPECT_TRUE(LocateTile(l, 0.3f, 0.2001f).grout);  // row boundary
  EXPECT_TRUE(LocateTile(l, 0.3f, 0.1999f).grout);
  const float len = RowPlankLength(l, 2), off = RowOffset(l, 2);
  EXPECT_TRUE(LocateTile(l, len - off + 0.001f, 0.25f).grout);  // plank end
  EXPECT_FALSE(LocateTile(l, len - off + 0.01f, 0.25f).grout);
  TileLayout none = l;
  none.grout = 0.0f;
  EXPECT_FALSE(LocateTile(none, 0.3f, 0.2001f).grout);
}

TEST(TileLayout, BadParametersStillGiveTiles) {
  TileLayout l;
  l.rowHeight = -1.0f;
  l.minLength = NAN;
  l.maxLength = 0.0f;
  l.grout = 100.0f;
  const TileHit h = LocateTile(l, 0.5f, 0.5f);
  EXPECT_GE(h.id, 1);
  EXPECT_GE(h.localU, 0.0f);
  EXPECT_LE(h.localU, 1.0f);
  const TileHit n = LocateTile(Planks(), NAN, INFINITY);
  EXPECT_GE(n.id, 1);
}

}  // namespace
}  // namespace maxhost
