#include "render/bitmap_texture.h"

#include <gtest/gtest.h>
#include <stb/stb_image_write.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>

#include "core/class_directory.h"
#include "render/bitmap_store.h"
#include "render/ref_holder.h"
#include "render/shade_context.h"

namespace maxhost {
namespace {

// 4 x 4 image, one-texel checker of black and white; texel (0, 0) (top left) white.
Image Checker4() {
  Image img(4, 4);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) {
      const float c = (x + y) % 2 == 0 ? 1.0f : 0.0f;
      img.At(x, y) = {c, c, c, 1.0f};
    }
  return img;
}

// Left half red, right half blue, top half with green 1.
Image Quadrants() {
  Image img(2, 2);
  img.At(0, 0) = {1, 1, 0, 1};
  img.At(1, 0) = {0, 1, 1, 1};
  img.At(0, 1) = {1, 0, 0, 1};
  img.At(1, 1) = {0, 0, 1, 1};
  return img;
}

AColor Eval(Texmap* map, float u, float v, float footprint = 0.0f) {
  Interval valid = FOREVER;
  map->Update(0, valid);
  RenderShadeContext sc;
  sc.BeginSample(0, nullptr, Point3(u, v, 0.0f), Point3(footprint, footprint, 0.0f));
  return map->EvalColor(sc);
}

class BitmapTextureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetRenderReporter([this](const std::string& line) { reports_.push_back(line); });
    dir_ = std::filesystem::temp_directory_path() /
           ("tilvara_bitmap_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override {
    SetRenderReporter(nullptr);
    std::filesystem::remove_all(dir_);
  }
  std::string Path(const char* name) const { return (dir_ / name).string(); }
  std::wstring WPath(const char* name) const { return (dir_ / name).wstring(); }
  void WriteQuadrantsPng(const char* name) {
    std::string error;
    ASSERT_TRUE(WritePng(Path(name), Quadrants(), error)) << error;
  }

  RefHolder holder_;
  std::vector<std::string> reports_;
  std::filesystem::path dir_;
};

TEST_F(BitmapTextureTest, ScriptsFindTheClassByNameAndItIsTheHostBitmap) {
  ClassDesc* cd = FindClassDescByInternalName(L"bitmapTexture");
  ASSERT_NE(cd, nullptr);
  EXPECT_EQ(cd->ClassID(), Class_ID(BMTEX_CLASS_ID, 0));
  EXPECT_EQ(cd->SuperClassID(), SClass_ID(TEXMAP_CLASS_ID));
  EXPECT_STREQ(cd->ClassName(), L"Bitmap");
  auto* tex = holder_.Hold(static_cast<Texmap*>(cd->Create(FALSE)));
  ASSERT_NE(tex, nullptr);
  EXPECT_EQ(tex->ClassID(), Class_ID(BMTEX_CLASS_ID, 0));
  ASSERT_NE(tex->GetParamBlock(0), nullptr);
  UVGen* gen = tex->GetTheUVGen();
  ASSERT_NE(gen, nullptr);
  EXPECT_TRUE(gen->IsStdUVGen());
  for (const wchar_t* name : {L"ConstantColor", L"Checker", L"PlankTiles", L"StandardMaterial"})
    EXPECT_NE(FindClassDescByInternalName(name), nullptr) << name;
}

TEST_F(BitmapTextureTest, ParameterEightSelectsTheFilter) {
  auto* tex = holder_.Hold(NewBitmapTextureFromImage(Checker4()));
  const float u = 0.5f / 4, v = 1.0f - 0.5f / 4;  // centre of the white top-left texel
  IParamBlock2* pb = tex->GetParamBlock(0);
  EXPECT_EQ(tex->GetFilterType(), FILTER_PYR);
  // A footprint of two texels: pyramidal and summed-area average to grey, none stays white.
  pb->SetValue(8, 0, FILTER_PYR);
  EXPECT_NEAR(Eval(tex, u, v, 0.5f).r, 0.5f, 1e-5f);
  pb->SetValue(8, 0, FILTER_SAT);
  EXPECT_EQ(tex->GetFilterType(), FILTER_SAT);
  EXPECT_NEAR(Eval(tex, u, v, 0.5f).r, 0.5f, 1e-5f);
  pb->SetValue(8, 0, FILTER_NADA);
  EXPECT_NEAR(Eval(tex, u, v, 0.5f).r, 1.0f, 1e-6f);
  // With no footprint every mode reads the texel.
  pb->SetValue(8, 0, FILTER_PYR);
  EXPECT_NEAR(Eval(tex, u, v, 0.0f).r, 1.0f, 1e-6f);
  EXPECT_FLOAT_EQ(Eval(tex, u, v).a, 1.0f);
}

TEST_F(BitmapTextureTest, BlurScalesTheFootprint) {
  auto* tex = holder_.Hold(NewBitmapTextureFromImage(Checker4()));
  const float u = 0.5f / 4, v = 1.0f - 0.5f / 4;
  StdUVGen* gen = tex->GetUVGen();
  gen->SetBlur(0.0f, 0);
  EXPECT_FLOAT_EQ(gen->GetBlur(0), 0.0f);
  EXPECT_NEAR(Eval(tex, u, v, 0.5f).r, 1.0f, 1e-6f);
  gen->SetBlur(8.0f, 0);  // 1/16 of a UV unit (a quarter texel) times 8 = two texels
  EXPECT_NEAR(Eval(tex, u, v, 1.0f / 16).r, 0.5f, 1e-5f);
}

TEST_F(BitmapTextureTest, WAngleTurnsTheMapAboutTheCentreAndTheMapTiles) {
  auto* tex = holder_.Hold(NewBitmapTextureFromImage(Quadrants()));
  tex->SetFilterType(FILTER_NADA);
  // Unrotated: bottom-left quadrant red, top-right cyan.
  EXPECT_NEAR(Eval(tex, 0.25f, 0.25f).r, 1.0f, 1e-5f);
  EXPECT_NEAR(Eval(tex, 0.25f, 0.25f).g, 0.0f, 1e-5f);
  // Whole tiles away: the same.
  EXPECT_NEAR(Eval(tex, 3.25f, -1.75f).r, 1.0f, 1e-5f);
  // Turned a quarter counter-clockwise: the bottom-left quadrant moves to the bottom right.
  tex->GetUVGen()->SetWAng(float(M_PI / 2), 0);
  EXPECT_NEAR(tex->GetUVGen()->GetWAng(0), float(M_PI / 2), 1e-6f);
  const AColor br = Eval(tex, 0.75f, 0.25f);
  EXPECT_NEAR(br.r, 1.0f, 1e-5f);
  EXPECT_NEAR(br.g, 0.0f, 1e-5f);
  EXPECT_NEAR(br.b, 0.0f, 1e-5f);
  // The centre stays where it is.
  const AColor before = Eval(tex, 0.5f, 0.5f);
  tex->GetUVGen()->SetWAng(0.0f, 0);
  const AColor after = Eval(tex, 0.5f, 0.5f);
  EXPECT_NEAR(before.r, after.r, 1e-5f);
  EXPECT_NEAR(before.g, after.g, 1e-5f);
}

TEST_F(BitmapTextureTest, LoadsFilesByNameAndThroughTheFilenameParameter) {
  WriteQuadrantsPng("q.png");
  auto* tex = holder_.Hold(new BitmapTexture);
  tex->SetFilterType(FILTER_NADA);
  tex->SetMapName(WPath("q.png").c_str());
  EXPECT_STREQ(tex->GetMapName(), WPath("q.png").c_str());
  ASSERT_TRUE(tex->HasImage());
  EXPECT_NEAR(Eval(tex, 0.75f, 0.75f).b, 1.0f, 1e-5f);
  EXPECT_NEAR(Eval(tex, 0.75f, 0.75f).r, 0.0f, 1e-5f);

  auto* other = holder_.Hold(new BitmapTexture);
  other->SetFilterType(FILTER_NADA);
  other->GetParamBlock(0)->SetValue(kBitmapFilename, 0, WPath("q.png").c_str());
  EXPECT_NEAR(Eval(other, 0.25f, 0.25f).r, 1.0f, 1e-5f);
  EXPECT_TRUE(reports_.empty());
}

TEST_F(BitmapTextureTest, MissingFileGivesOpaqueBlackAndOneReport) {
  auto* tex = holder_.Hold(new BitmapTexture);
  tex->SetMapName(WPath("absent.png").c_str());
  EXPECT_FALSE(tex->HasImage());
  for (int i = 0; i < 5; ++i) {
    const AColor c = Eval(tex, 0.1f * i, 0.3f, 0.01f);
    EXPECT_EQ(c, AColor(0.0f, 0.0f, 0.0f, 1.0f));
  }
  RenderShadeContext sc;
  sc.BeginSample(0, nullptr, Point3(0.5f, 0.5f, 0.0f), Point3(0, 0, 0));
  EXPECT_EQ(tex->EvalNormalPerturb(sc), Point3(0, 0, 0));
  tex->SetMapName(WPath("absent.png").c_str());  // the same name again
  ASSERT_EQ(reports_.size(), 1u);
  EXPECT_NE(reports_[0].find("absent.png"), std::string::npos);
  // An explicit reload reports again; another missing file is reported too.
  tex->ReloadBitmapAndUpdate();
  tex->SetMapName(WPath("other.png").c_str());
  EXPECT_EQ(reports_.size(), 3u);
}

TEST_F(BitmapTextureTest, BrokenFileIsReportedAndAFixedFileLoadsOnReload) {
  {
    std::ofstream f(Path("b.png"), std::ios::binary);
    f << "not an image";
  }
  auto* tex = holder_.Hold(new BitmapTexture);
  tex->SetFilterType(FILTER_NADA);
  tex->SetMapName(WPath("b.png").c_str());
  EXPECT_EQ(Eval(tex, 0.25f, 0.25f), AColor(0.0f, 0.0f, 0.0f, 1.0f));
  EXPECT_EQ(reports_.size(), 1u);
  WriteQuadrantsPng("b.png");
  tex->ReloadBitmapAndUpdate();
  EXPECT_NEAR(Eval(tex, 0.25f, 0.25f).r, 1.0f, 1e-5f);
  EXPECT_EQ(reports_.size(), 1u);
}

TEST_F(BitmapTextureTest, HdrValuesAboveOneSurvive) {
  const float pixels[3 * 1] = {4.0f, 0.5f, 2.0f};
  ASSERT_TRUE(stbi_write_hdr(Path("h.hdr").c_str(), 1, 1, 3, pixels));
  auto* tex = holder_.Hold(new BitmapTexture);
  tex->SetMapName(WPath("h.hdr").c_str());
  EXPECT_TRUE(tex->IsHighDynamicRange());
  const AColor c = Eval(tex, 0.5f, 0.5f);
  EXPECT_NEAR(c.r, 4.0f, 0.05f);
  EXPECT_NEAR(c.b, 2.0f, 0.05f);
  EXPECT_FLOAT_EQ(c.a, 1.0f);
}

TEST_F(BitmapTextureTest, NoFilteringWhenTheContextAsksForNone) {
  auto* tex = holder_.Hold(NewBitmapTextureFromImage(Checker4()));
  Interval valid = FOREVER;
  tex->Update(0, valid);
  RenderShadeContext sc;
  sc.filterMaps = false;
  sc.BeginSample(0, nullptr, Point3(0.5f / 4, 1.0f - 0.5f / 4, 0.0f), Point3(0.5f, 0.5f, 0.0f));
  EXPECT_NEAR(tex->EvalColor(sc).r, 1.0f, 1e-6f);
}

TEST_F(BitmapTextureTest, CloneSharesTheImageAndCopiesSettings) {
  auto* tex = holder_.Hold(NewBitmapTextureFromImage(Quadrants()));
  tex->SetFilterType(FILTER_SAT);
  tex->GetUVGen()->SetBlur(2.5f, 0);
  auto* copy = holder_.Hold(static_cast<BitmapTexture*>(CloneRefHierarchy(tex)));
  ASSERT_NE(copy, nullptr);
  ASSERT_NE(copy, tex);
  EXPECT_EQ(copy->GetFilterType(), FILTER_SAT);
  ASSERT_NE(copy->GetUVGen(), nullptr);
  EXPECT_NE(copy->GetUVGen(), tex->GetUVGen());
  EXPECT_FLOAT_EQ(copy->GetUVGen()->GetBlur(0), 2.5f);
  EXPECT_TRUE(copy->HasImage());
  const AColor a = Eval(tex, 0.3f, 0.6f), b = Eval(copy, 0.3f, 0.6f);
  EXPECT_EQ(a, b);
}

}  // namespace
}  // namespace maxhost
