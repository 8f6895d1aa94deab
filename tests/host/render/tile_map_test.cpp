#include "render/tile_map.h"

#include <gtest/gtest.h>

#include "probe_map.h"
#include "render/ref_holder.h"
#include "render/shade_context.h"

namespace maxhost {
namespace {

using testing::ProbeMap;

class TileMapTest : public ::testing::Test {
 protected:
  void SetUp() override {
    tiles_ = holder_.Hold(new TileMap);
    probe_ = new ProbeMap;
    tiles_->SetSubTexmap(0, probe_);
    IParamBlock2* pb = tiles_->GetParamBlock(0);
    pb->SetValue(kTileRowHeight, 0, 0.1f);
    pb->SetValue(kTileMinLength, 0, 0.4f);
    pb->SetValue(kTileMaxLength, 0, 0.8f);
    pb->SetValue(kTileGroutWidth, 0, 0.01f);
    pb->SetValue(kTileSeed, 0, 3);
    pb->SetValue(kTileGroutColor, 0, Color(0.1f, 0.2f, 0.3f));
    Interval valid = FOREVER;
    tiles_->Update(0, valid);
  }
  // A point inside the plank of column `col` in row `row`, at (fu, fv) of the plank.
  Point3 InPlank(int row, int col, float fu, float fv) const {
    const TileLayout& l = tiles_->Layout();
    const float len = RowPlankLength(l, row), off = RowOffset(l, row);
    return Point3(col * len - off + fu * len, (row + fv) * l.rowHeight, 0.0f);
  }
  AColor EvalAt(RenderShadeContext& sc, const Point3& uvw) {
    sc.BeginSample(0, nullptr, uvw, Point3(0.001f, 0.001f, 0.0f));
    return tiles_->EvalColor(sc);
  }

  RefHolder holder_;
  TileMap* tiles_ = nullptr;
  ProbeMap* probe_ = nullptr;
};

TEST_F(TileMapTest, TheSubMapSeesTheTileIdInChannel99AndLocalCoordinates) {
  probe_->source = ProbeMap::Source::kChannel99W;
  RenderShadeContext sc;
  const Point3 p = InPlank(4, 2, 0.5f, 0.5f);
  const TileHit hit = LocateTile(tiles_->Layout(), p.x, p.y);
  ASSERT_FALSE(hit.grout);
  const AColor c = EvalAt(sc, p);
  EXPECT_FLOAT_EQ(probe_->lastUVW99.z, float(hit.id));
  EXPECT_FLOAT_EQ(c.b, float(hit.id) / 10000.0f);
  EXPECT_NEAR(probe_->lastUVW99.x, 0.5f, 1e-3f);
  EXPECT_NEAR(probe_->lastUVW99.y, 0.5f, 1e-3f);
  // Channel 1 carries the same local coordinates with W 0.
  EXPECT_NEAR(probe_->lastUVW1.x, 0.5f, 1e-3f);
  EXPECT_EQ(probe_->lastUVW1.z, 0.0f);
  // The footprint shrinks into tile units.
  EXPECT_NEAR(probe_->lastDUVW.y, 0.001f / (0.1f - 0.01f), 1e-6f);
  // Near the plank's lower left corner.
  EvalAt(sc, InPlank(4, 2, 0.1f, 0.2f));
  EXPECT_LT(probe_->lastUVW99.x, 0.15f);
  EXPECT_LT(probe_->lastUVW99.y, 0.25f);
  EXPECT_FLOAT_EQ(probe_->lastUVW99.z, float(hit.id));
}

TEST_F(TileMapTest, NeighbouringPlanksGetDifferentIds) {
  RenderShadeContext sc;
  EvalAt(sc, InPlank(4, 2, 0.5f, 0.5f));
  const float a = probe_->lastUVW99.z;
  EvalAt(sc, InPlank(4, 3, 0.5f, 0.5f));
  const float b = probe_->lastUVW99.z;
  EvalAt(sc, InPlank(5, 2, 0.5f, 0.5f));
  const float c = probe_->lastUVW99.z;
  EXPECT_NE(a, b);
  EXPECT_NE(a, c);
  EXPECT_GE(a, 1.0f);
}

TEST_F(TileMapTest, GroutShowsTheGroutColourWithoutAskingTheSubMap) {
  RenderShadeContext sc;
  const int before = probe_->evalCount;
  const AColor c = EvalAt(sc, Point3(0.3f, 0.4f, 0.0f));  // on a row boundary
  EXPECT_EQ(c, AColor(0.1f, 0.2f, 0.3f, 1.0f));
  EXPECT_EQ(probe_->evalCount, before);
}

TEST_F(TileMapTest, CachedColoursDoNotLeakBetweenTilesOrToTheOuterSample) {
  probe_->source = ProbeMap::Source::kChannel99W;
  probe_->useCache = true;
  RenderShadeContext sc;
  // One outer sample (no reset between the lookups), two tiles.
  sc.BeginSample(0, nullptr, InPlank(4, 2, 0.5f, 0.5f), Point3(0, 0, 0));
  const AColor a = tiles_->EvalColor(sc);
  sc.SetChannel(1, InPlank(4, 3, 0.5f, 0.5f), Point3(0, 0, 0));
  const AColor b = tiles_->EvalColor(sc);
  EXPECT_NE(a, b);
  EXPECT_EQ(probe_->cacheHits, 0);
  // The inner map's entry stays in the tile's context.
  AColor outer;
  EXPECT_FALSE(sc.GetCache(probe_, outer));
}

TEST_F(TileMapTest, ContextDetailsPassThrough) {
  probe_->source = ProbeMap::Source::kMtlNum;
  probe_->gbuffer = 12;
  RenderShadeContext sc;
  sc.BeginSample(7, nullptr, InPlank(1, 1, 0.5f, 0.5f), Point3(0, 0, 0));
  const AColor c = tiles_->EvalColor(sc);
  EXPECT_FLOAT_EQ(c.r, 0.07f);
  EXPECT_EQ(sc.GBufferID(), 12);
  EXPECT_EQ(tiles_->EvalNormalPerturb(sc), Point3(0.1f, 0.2f, 0.3f));
}

TEST_F(TileMapTest, WithoutSubMapPlanksShowTheTileColour) {
  tiles_->SetSubTexmap(0, nullptr);
  EXPECT_EQ(tiles_->GetSubTexmap(0), nullptr);
  Interval valid = FOREVER;
  tiles_->Update(0, valid);
  RenderShadeContext sc;
  EXPECT_EQ(EvalAt(sc, InPlank(2, 0, 0.5f, 0.5f)), AColor(0.6f, 0.45f, 0.3f, 1.0f));
}

}  // namespace
}  // namespace maxhost
