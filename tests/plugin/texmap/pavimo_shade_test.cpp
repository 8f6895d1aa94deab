// Colour, mono and bump evaluation through the loaded plug-in's maps.
#include <cmath>
#include <thread>
#include <vector>

#include "shading/shading.h"
#include "test_support.h"
#include "texmap/pavimo.h"

using namespace tilvara_test;

namespace {

AColor Rgba(float r, float g, float b, float a) {
  return AColor(r, g, b, a);
}
Point3 Vec(float x, float y, float z) {
  return Point3(x, y, z);
}

class ShadeTest : public MapTest {
 protected:
  AColor Color(int mtlNum) {
    sc_.NewSample();
    sc_.mtlNum = mtlNum;
    return map_->EvalColor(sc_);
  }
  // The entry a key gets, by the generator's own sequence.
  static int ExpectedEntry(int key, int seed, int count) {
    tilvara::CrtRandom rng(tilvara::SampleSeed(key, seed));
    return rng.Next() % count;
  }

  TestShadeContext sc_;
};

TEST_F(ShadeTest, EmptyTableGivesOpaqueBlackZeroMonoAndNoBump) {
  UpdateAt(0);
  const AColor c = Color(3);
#if TILVARA_RELEASE == 201
  // Release 2.01 takes the flat colour (0.5 grey, unadjusted at the reset values).
  const float expected = 0.5f;
#else
  const float expected = 0.0f;
#endif
  EXPECT_FLOAT_EQ(c.r, expected);
  EXPECT_FLOAT_EQ(c.g, expected);
  EXPECT_FLOAT_EQ(c.b, expected);
  EXPECT_EQ(c.a, 1.0f);
  sc_.NewSample();
  EXPECT_FLOAT_EQ(map_->EvalMono(sc_), expected);
  sc_.NewSample();
  const Point3 n = map_->EvalNormalPerturb(sc_);
  EXPECT_EQ(n.x, 0.0f);
  EXPECT_EQ(n.y, 0.0f);
  EXPECT_EQ(n.z, 0.0f);
}

// The weights decide which sub-texture each material ID gets, as the generator says.
TEST_F(ShadeTest, EachKeyGetsTheSubTextureItsDrawPicks) {
  auto* red = new ProbeMap(Rgba(1, 0, 0, 1));
  auto* green = new ProbeMap(Rgba(0, 1, 0, 1));
  SetEntries(map_.get(), {red, green}, {1, 1}, {2, 1});
  UpdateAt(0);
  int reds = 0;
  for (int key = 0; key < 64; ++key) {
    const AColor c = Color(key);
    const int entry = ExpectedEntry(key, 12345, 3);
    SCOPED_TRACE(key);
    if (entry < 2) {
      ++reds;
      EXPECT_EQ(c.r, 1.0f);
      EXPECT_EQ(c.g, 0.0f);
    } else {
      EXPECT_EQ(c.r, 0.0f);
      EXPECT_EQ(c.g, 1.0f);
    }
  }
  EXPECT_GT(reds, 0);
  EXPECT_LT(reds, 64);
}

TEST_F(ShadeTest, CacheHitReturnsCachedColourUntouched) {
  auto* a = new ProbeMap(Rgba(1, 0, 0, 1));
  SetEntries(map_.get(), {a}, {1}, {1});
  UpdateAt(0);
  sc_.NewSample();
  sc_.colorCache[map_.get()] = Rgba(0.25f, 0.5f, 0.75f, 0.5f);
  const AColor c = map_->EvalColor(sc_);
  EXPECT_EQ(c.r, 0.25f);
  EXPECT_EQ(c.a, 0.5f);
  EXPECT_EQ(a->colorCalls.load(), 0);
  EXPECT_EQ(sc_.gbufferCalls, 0);

  sc_.vectorCache[map_.get()] = Vec(1, 2, 3);
  EXPECT_EQ(map_->EvalNormalPerturb(sc_).y, 2.0f);
  EXPECT_EQ(a->bumpCalls.load(), 0);
}

TEST_F(ShadeTest, ResultIsStoredInTheSampleCache) {
  auto* a = new ProbeMap(Rgba(0, 0, 1, 1), Vec(0.5f, 0, 0));
  SetEntries(map_.get(), {a}, {1}, {1});
  UpdateAt(0);
  sc_.NewSample();
  map_->EvalColor(sc_);
  map_->EvalColor(sc_);
  EXPECT_EQ(a->colorCalls.load(), 1);
  ASSERT_EQ(sc_.colorCache.count(map_.get()), 1u);
  EXPECT_EQ(sc_.colorCache[map_.get()].b, 1.0f);
  map_->EvalNormalPerturb(sc_);
  ASSERT_EQ(sc_.vectorCache.count(map_.get()), 1u);
  EXPECT_EQ(sc_.vectorCache[map_.get()].x, 0.5f);
}

TEST_F(ShadeTest, FlatColourReplacesSubTexturesButNotTheBump) {
  auto* a = new ProbeMap(Rgba(1, 0, 0, 1), Vec(0, 0.25f, 0));
  SetEntries(map_.get(), {a}, {1}, {1});
  pb_->SetValue(pb_use_color, 0, 1);
  pb_->SetValue(pb_sub_color, 0, ::Color(0.2f, 0.4f, 0.6f));
  UpdateAt(0);
  const AColor c = Color(1);
  EXPECT_NEAR(c.r, 0.2f, 1e-6f);
  EXPECT_NEAR(c.g, 0.4f, 1e-6f);
  EXPECT_NEAR(c.b, 0.6f, 1e-6f);
  EXPECT_EQ(c.a, 1.0f);
  EXPECT_EQ(a->colorCalls.load(), 0);
  EXPECT_EQ(map_->EvalNormalPerturb(sc_).y, 0.25f);
  EXPECT_EQ(a->bumpCalls.load(), 1);
}

TEST_F(ShadeTest, FlatColourAlsoWithEmptyTable) {
  pb_->SetValue(pb_use_color, 0, 1);
  pb_->SetValue(pb_sub_color, 0, ::Color(0.3f, 0.3f, 0.3f));
  UpdateAt(0);
  EXPECT_NEAR(Color(7).g, 0.3f, 1e-6f);
}

// The adjustment gives the flat colour a per-key offset, the same for every sample of a key.
TEST_F(ShadeTest, FlatColourIsAdjustedPerKey) {
  pb_->SetValue(pb_use_color, 0, 1);
  pb_->SetValue(pb_sub_color, 0, ::Color(0.5f, 0.5f, 0.5f));
  pb_->SetValue(pb_rnd_gamma, 0, 0.5f);
  UpdateAt(0);
  const AColor k1 = Color(1);
  const AColor k1again = Color(1);
  const AColor k2 = Color(2);
  EXPECT_EQ(k1.r, k1again.r);
  EXPECT_NE(k1.r, k2.r);
}

TEST_F(ShadeTest, AlphaIsAlwaysOne) {
  auto* a = new ProbeMap(Rgba(0.5f, 0.5f, 0.5f, 0.3f));
  SetEntries(map_.get(), {a}, {1}, {1});
  UpdateAt(0);
  EXPECT_EQ(Color(4).a, 1.0f);
}

// Mono is the mean of the adjusted colour, not of the sub-texture's own colour.
TEST_F(ShadeTest, MonoIsTheMeanOfTheAdjustedColour) {
  auto* a = new ProbeMap(Rgba(2.0f, 0.5f, 0.25f, 1));
  SetEntries(map_.get(), {a}, {1}, {1});
  pb_->SetValue(pb_all_gamma, 0, 2.0f);
  UpdateAt(0);
  const AColor c = Color(5);
  sc_.NewSample();
  const float mono = map_->EvalMono(sc_);
  EXPECT_FLOAT_EQ(mono, (c.g + c.r + c.b) / 3.0f);
  EXPECT_NE(mono, (2.0f + 0.5f + 0.25f) / 3.0f);
  EXPECT_FLOAT_EQ(c.r, 1.0f);  // clamped
  EXPECT_NEAR(c.g, 0.25f, 1e-5f);
}

TEST_F(ShadeTest, SubTextureSeesTheSameShadeContext) {
  auto* a = new ProbeMap();
  SetEntries(map_.get(), {a}, {1}, {1});
  UpdateAt(0);
  Color(1);
  EXPECT_EQ(a->lastContext.load(), &sc_);
  sc_.NewSample();
  map_->EvalNormalPerturb(sc_);
  EXPECT_EQ(a->lastContext.load(), &sc_);
}

TEST_F(ShadeTest, GBufferIdIsSetOnlyWhenNonZero) {
  UpdateAt(0);
  Color(1);
  EXPECT_EQ(sc_.gbufferCalls, 0);
  map_->SetGBufID(9);
  Color(1);
  EXPECT_EQ(sc_.gbufferCalls, 1);
  EXPECT_EQ(sc_.gbufferId, 9);
}

// Colour and bump of one sample come from the same entry.
TEST_F(ShadeTest, ColourAndBumpComeFromTheSameSubTexture) {
  std::vector<ProbeMap*> probes;
  std::vector<Texmap*> maps;
  for (int i = 0; i < 5; ++i) {
    probes.push_back(new ProbeMap(Rgba(i / 4.0f, 0, 0, 1), Vec(float(i), 0, 0)));
    maps.push_back(probes.back());
  }
  SetEntries(map_.get(), maps, {1, 1, 1, 1, 1}, {1, 2, 3, 4, 5});
  UpdateAt(0);
  for (int key = 0; key < 40; ++key) {
    const AColor c = Color(key);
    const Point3 n = map_->EvalNormalPerturb(sc_);
    EXPECT_NEAR(c.r, n.x / 4.0f, 1e-6f) << key;
  }
}

class KeyModeTest : public ShadeTest {
 protected:
  void SetUp() override {
    ShadeTest::SetUp();
    for (int i = 0; i < 8; ++i) {
      auto* p = new ProbeMap(Rgba(i / 7.0f, 0, 0, 1));
      maps_.push_back(p);
    }
    SetEntries(map_.get(), maps_, std::vector<int>(8, 1), std::vector<int>(8, 1));
  }
  // Index of the sub-texture that served the last colour.
  int Served(const AColor& c) { return static_cast<int>(std::lround(c.r * 7.0f)); }
  std::vector<Texmap*> maps_;
};

TEST_F(KeyModeTest, ObjectModeKeysByNodeHandleInSceneRenders) {
  pb_->SetValue(pb_rnd_by, 0, 1);
  UpdateAt(0);
  TestNode node(21);
  sc_.node = &node;
  map_->RenderBegin(0, 0);
  EXPECT_EQ(Served(Color(3)), ExpectedEntry(21, 12345, 8));
  map_->RenderEnd(0);
  // Outside a scene render the material ID serves as the key.
  EXPECT_EQ(Served(Color(3)), ExpectedEntry(3, 12345, 8));
  sc_.node = nullptr;
}

TEST_F(KeyModeTest, TileModeTruncatesChannel99W) {
  pb_->SetValue(pb_rnd_by, 0, 2);
  UpdateAt(0);
  map_->RenderBegin(0, 0);
  sc_.uvw99 = Vec(0, 0, 3.7f);
  EXPECT_EQ(Served(Color(11)), ExpectedEntry(3, 12345, 8));
  sc_.uvw99 = Vec(0, 0, -0.5f);
  EXPECT_EQ(Served(Color(11)), ExpectedEntry(0, 12345, 8));
  sc_.uvw99 = Vec(0, 0, 0.99f);
  EXPECT_EQ(Served(Color(11)), ExpectedEntry(0, 12345, 8));
  map_->RenderEnd(0);
}

TEST_F(KeyModeTest, EditorPreviewUsesMaterialIdWhateverTheMode) {
  pb_->SetValue(pb_rnd_by, 0, 2);
  UpdateAt(0);
  map_->RenderBegin(0, RENDERBEGIN_IN_MEDIT);
  sc_.uvw99 = Vec(0, 0, 5.0f);
  EXPECT_EQ(Served(Color(6)), ExpectedEntry(6, 12345, 8));
  map_->RenderEnd(0);
}

TEST_F(KeyModeTest, SeedAndKeyEnterOnlyAsProduct) {
  pb_->SetValue(pb_seed, 0, 1);
  UpdateAt(0);
  const int seedOneKeySeven = Served(Color(7));
  pb_->SetValue(pb_seed, 0, 7);
  UpdateAt(0);
  EXPECT_EQ(Served(Color(1)), seedOneKeySeven);
}

// Evaluations share nothing but what the update cached: threads agree with one another.
TEST_F(ShadeTest, ThreadsGetTheSameColoursAsOneThread) {
  std::vector<Texmap*> maps;
  for (int i = 0; i < 6; ++i) maps.push_back(new ProbeMap(Rgba(i / 5.0f, 0.5f, 0.25f, 1)));
  SetEntries(map_.get(), maps, std::vector<int>(6, 1), {1, 2, 3, 1, 2, 3});
  pb_->SetValue(pb_rnd_hue, 0, 40.0f);
  pb_->SetValue(pb_rnd_gamma, 0, 0.3f);
  UpdateAt(0);
  constexpr int kKeys = 500;
  auto run = [this](std::vector<AColor>& out) {
    TestShadeContext sc;
    for (int key = 0; key < kKeys; ++key) {
      sc.NewSample();
      sc.mtlNum = key;
      out[key] = map_->EvalColor(sc);
    }
  };
  std::vector<AColor> single(kKeys);
  run(single);
  std::vector<std::vector<AColor>> results(4, std::vector<AColor>(kKeys));
  std::vector<std::thread> threads;
  for (auto& r : results) threads.emplace_back(run, std::ref(r));
  for (auto& t : threads) t.join();
  for (const auto& r : results) {
    for (int key = 0; key < kKeys; ++key) {
      ASSERT_EQ(r[key].r, single[key].r) << key;
      ASSERT_EQ(r[key].g, single[key].g) << key;
      ASSERT_EQ(r[key].b, single[key].b) << key;
    }
  }
}

}  // namespace
