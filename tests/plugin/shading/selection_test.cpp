#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "shading/selection.h"

using namespace tilvara;

TEST(Generator, ReproducesTheWindowsRandSequence) {
  CrtRandom rng(1);
  EXPECT_EQ(rng.Next(), 41);
  EXPECT_EQ(rng.Next(), 18467);
  EXPECT_EQ(rng.Next(), 6334);
  EXPECT_EQ(rng.Next(), 26500);
  EXPECT_EQ(rng.Next(), 19169);
  CrtRandom zero(0);
  EXPECT_EQ(zero.Next(), 38);  // (2531011 >> 16) & 0x7FFF
}

TEST(SampleSeed, WrapsInThirtyTwoBits) {
  EXPECT_EQ(SampleSeed(1, 1), 804952u);
  EXPECT_EQ(SampleSeed(2, 1), 1704290u);
  EXPECT_EQ(SampleSeed(1, 12345), 4188539432u);
  EXPECT_EQ(SampleSeed(-1, 12345), 106427864u);
  // Key 0 ignores the seed; only the product of key and seed matters.
  EXPECT_EQ(SampleSeed(0, 12345), 0u);
  EXPECT_EQ(SampleSeed(0, 7), 0u);
  EXPECT_EQ(SampleSeed(1, 77), SampleSeed(77, 1));
  EXPECT_EQ(SampleSeed(INT32_MIN, 99999), SampleSeed(INT32_MIN, 99999));
}

struct FakeSource {
  int32_t mtl = 0, node = 0;
  float w = 0.0f;
  int nodeCalls = 0, wCalls = 0;
  int32_t MaterialId() { return mtl; }
  int32_t NodeId() { ++nodeCalls; return node; }
  float TileW() { ++wCalls; return w; }
};

TEST(SampleKey, ObjectAndTileKeysOnlyInSceneRenders) {
  FakeSource s{3, 17, 5.5f};
  EXPECT_EQ(SampleKey(kByMaterialId, true, s), 3);
  EXPECT_EQ(SampleKey(kByObject, true, s), 17);
  EXPECT_EQ(SampleKey(kByTile, true, s), 5);
  EXPECT_EQ(SampleKey(7, true, s), 5);  // any other mode keys by tile
  s.nodeCalls = s.wCalls = 0;
  EXPECT_EQ(SampleKey(kByObject, false, s), 3);
  EXPECT_EQ(SampleKey(kByTile, false, s), 3);
  EXPECT_EQ(s.nodeCalls + s.wCalls, 0) << "previews must not query node or channel 99";
}

TEST(SampleKey, TileWTruncatesTowardZeroAndNeverOverflows) {
  EXPECT_EQ(TileKey(-0.5f), 0);
  EXPECT_EQ(TileKey(0.99f), 0);
  EXPECT_EQ(TileKey(3.7f), 3);
  EXPECT_EQ(TileKey(-1.7f), -1);
  EXPECT_EQ(TileKey(2147483520.0f), 2147483520);
  EXPECT_EQ(TileKey(3e9f), INT32_MIN);
  EXPECT_EQ(TileKey(-3e9f), INT32_MIN);
  EXPECT_EQ(TileKey(std::numeric_limits<float>::quiet_NaN()), INT32_MIN);
  EXPECT_EQ(TileKey(std::numeric_limits<float>::infinity()), INT32_MIN);
}

TEST(PickEntryIndex, DrawModCountAndEmptyTable) {
  EXPECT_EQ(PickEntryIndex(0, 123), -1);
  EXPECT_EQ(PickEntryIndex(3, 7), 1);
  EXPECT_EQ(PickEntryIndex(3, 0), 0);
  // Beyond 32768 entries the draw itself is the index: later entries are unreachable.
  EXPECT_EQ(PickEntryIndex(40000, 32767), 32767);
  EXPECT_EQ(PickEntryIndex(32768, 32767), 32767);
}

// The division-free picker answers exactly as draw mod count, for every draw.
TEST(EntryPicker, AgreesWithDrawModCount) {
  EXPECT_EQ(EntryPicker().Index(5), -1);
  EXPECT_EQ(EntryPicker(0).Index(5), -1);
  std::vector<int32_t> counts;
  for (int32_t c = 1; c <= 512; ++c) counts.push_back(c);
  for (int32_t c : {1000, 4095, 4096, 4097, 12345, 32767, 32768, 40000, 2147483647}) counts.push_back(c);
  for (int32_t count : counts) {
    const EntryPicker picker(count);
    for (int32_t draw = 0; draw <= kRandMax; ++draw)
      ASSERT_EQ(picker.Index(draw), PickEntryIndex(count, draw)) << count << " " << draw;
  }
}

TEST(UnitDraw, CoversBothEnds) {
  EXPECT_EQ(UnitDraw(0), 0.0f);
  EXPECT_EQ(UnitDraw(32767), 1.0f);
  EXPECT_EQ(UnitDraw(16384), static_cast<float>(16384.0 / 32767.0));
}

TEST(DrawForColor, SameSeedSameDrawsInOrder) {
  const ColorDraws a = DrawForColor(SampleSeed(3, 12345));
  const ColorDraws b = DrawForColor(SampleSeed(3, 12345));
  EXPECT_EQ(a.index, b.index);
  EXPECT_EQ(a.saturation, b.saturation);
  CrtRandom rng(SampleSeed(3, 12345));
  EXPECT_EQ(a.index, rng.Next());
  EXPECT_EQ(a.gamma, rng.Next());
  EXPECT_EQ(a.hue, rng.Next());
  EXPECT_EQ(a.saturation, rng.Next());
}
