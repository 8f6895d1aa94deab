#include "render/texture_filter.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "render/image.h"

namespace maxhost {
namespace {

// Distinct value per texel: r = column, g = row, b = 1.
Image Ramp(int w, int h) {
  Image img(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) img.At(x, y) = {float(x), float(y), 1.0f, 1.0f};
  return img;
}

Image Checker1(int n) {
  Image img(n, n);
  for (int y = 0; y < n; ++y)
    for (int x = 0; x < n; ++x) {
      const float c = float((x + y) & 1);
      img.At(x, y) = {c, c, c, 1.0f};
    }
  return img;
}

// UV of the centre of texel (x, y), row 0 at the top.
float U(const Image& img, int x) {
  return (x + 0.5f) / img.width;
}
float V(const Image& img, int y) {
  return 1.0f - (y + 0.5f) / img.height;
}

void ExpectNear(const Rgba& got, const Rgba& want, float tol = 1e-5f) {
  EXPECT_NEAR(got.r, want.r, tol);
  EXPECT_NEAR(got.g, want.g, tol);
  EXPECT_NEAR(got.b, want.b, tol);
  EXPECT_NEAR(got.a, want.a, tol);
}

TEST(Bilinear, TexelCentresReturnTheTexelAndVZeroIsTheBottomRow) {
  const Image img = Ramp(4, 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 4; ++x) ExpectNear(SampleBilinear(img, U(img, x), V(img, y)), img.At(x, y));
  // Just above v = 0 is the last (bottom) row.
  EXPECT_NEAR(SampleBilinear(img, U(img, 1), 0.25f).g, 1.0f, 1e-6f);
}

TEST(Bilinear, InterpolatesAndWrapsAcrossEdges) {
  const Image img = Ramp(4, 2);
  // Halfway between columns 1 and 2.
  EXPECT_NEAR(SampleBilinear(img, 0.5f, V(img, 0)).r, 1.5f, 1e-5f);
  // u = 0 lies between the last and the first column.
  EXPECT_NEAR(SampleBilinear(img, 0.0f, V(img, 0)).r, 1.5f, 1e-5f);
  // Whole tiles away gives the same value.
  ExpectNear(SampleBilinear(img, U(img, 2) + 3.0f, V(img, 1) - 5.0f), img.At(2, 1));
  ExpectNear(SampleBilinear(img, U(img, 2) - 7.0f, V(img, 1)), img.At(2, 1));
}

TEST(Bilinear, NonFiniteCoordinatesDoNotCrash) {
  const Image img = Ramp(4, 2);
  const Rgba c = SampleBilinear(img, NAN, INFINITY);
  EXPECT_TRUE(std::isfinite(c.r));
  EXPECT_EQ(SampleBilinear(Image{}, 0.5f, 0.5f), Rgba{});
}

TEST(MipPyramid, LevelsHalveDownToOneTexelAndKeepTheMean) {
  const Image img = Ramp(8, 4);
  MipPyramid pyramid(img);
  ASSERT_EQ(pyramid.LevelCount(), 4);
  EXPECT_EQ(pyramid.Level(1).width, 4);
  EXPECT_EQ(pyramid.Level(1).height, 2);
  EXPECT_EQ(pyramid.Level(3).width, 1);
  EXPECT_EQ(pyramid.Level(3).height, 1);
  ExpectNear(pyramid.Level(1).At(0, 0), {0.5f, 0.5f, 1.0f, 1.0f});
  ExpectNear(pyramid.Level(3).At(0, 0), {3.5f, 1.5f, 1.0f, 1.0f});
}

TEST(MipPyramid, OddSizesAverageEveryTexel) {
  const Image img = Ramp(3, 3);
  MipPyramid pyramid(img);
  ASSERT_EQ(pyramid.LevelCount(), 2);
  ExpectNear(pyramid.Level(1).At(0, 0), {1.0f, 1.0f, 1.0f, 1.0f});
}

TEST(MipPyramid, FootprintSelectsTheLevel) {
  const Image img = Checker1(8);
  MipPyramid pyramid(img);
  // Footprint of one texel: the base image itself.
  ExpectNear(pyramid.Sample(U(img, 0), V(img, 0), 1.0f), img.At(0, 0));
  // Footprint of two texels: level 1, where the one-texel checker is grey.
  EXPECT_NEAR(pyramid.Sample(U(img, 0), V(img, 0), 2.0f).r, 0.5f, 1e-5f);
  // Between levels: blend of base (0) and level 1 (0.5).
  EXPECT_NEAR(pyramid.Sample(U(img, 0), V(img, 0), std::sqrt(2.0f)).r, 0.25f, 1e-4f);
  // Huge footprint: the mean.
  EXPECT_NEAR(pyramid.Sample(0.3f, 0.7f, 1e9f).r, 0.5f, 1e-5f);
}

TEST(SummedArea, OneTexelBoxOnATexelCentreIsTheTexel) {
  const Image img = Ramp(4, 3);
  SummedAreaTable table(img);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x)
      ExpectNear(table.SampleBox(U(img, x), V(img, y), 1, 1), img.At(x, y));
}

TEST(SummedArea, BoxesAverageExactlyAndWrap) {
  const Image img = Ramp(4, 3);
  SummedAreaTable table(img);
  // Two columns wide, centred on the edge between columns 1 and 2.
  EXPECT_NEAR(table.SampleBox(0.5f, V(img, 0), 2, 1).r, 1.5f, 1e-5f);
  // Centred on u = 0: columns 3 and 0.
  EXPECT_NEAR(table.SampleBox(0.0f, V(img, 0), 2, 1).r, 1.5f, 1e-5f);
  // A box of a whole period, anywhere, is the mean.
  ExpectNear(table.SampleBox(0.123f, -4.56f, 4, 3), {1.5f, 1.0f, 1.0f, 1.0f});
  ExpectNear(table.SampleBox(17.9f, 0.4f, 8, 6), {1.5f, 1.0f, 1.0f, 1.0f});
  // Half a texel of each neighbour: 0.25 * 0 + 0.5 * 1 + 0.25 * 2.
  EXPECT_NEAR(table.SampleBox(U(img, 1), V(img, 0), 2, 1).r, 1.0f, 1e-5f);
}

TEST(SummedArea, DegenerateBoxesStayFinite) {
  const Image img = Ramp(4, 3);
  SummedAreaTable table(img);
  const Rgba a = table.SampleBox(0.5f, 0.5f, NAN, INFINITY);
  EXPECT_TRUE(std::isfinite(a.r) && std::isfinite(a.g));
  const Rgba b = table.SampleBox(NAN, 0.5f, 0.0f, -3.0f);
  EXPECT_TRUE(std::isfinite(b.r));
}

TEST(FilteredImage, ModesDifferOnlyWhereTheFootprintMatters) {
  FilteredImage img(Checker1(8));
  img.Prepare(FilterMode::kPyramidal);
  img.Prepare(FilterMode::kSummedArea);
  const float u = U(img.Base(), 2), v = V(img.Base(), 3);  // a white texel
  const float du = 4.0f / 8.0f;                            // four texels
  EXPECT_NEAR(img.Sample(FilterMode::kNone, u, v, du, du, 1.0f).r, 1.0f, 1e-6f);
  EXPECT_NEAR(img.Sample(FilterMode::kPyramidal, u, v, du, du, 1.0f).r, 0.5f, 1e-5f);
  EXPECT_NEAR(img.Sample(FilterMode::kSummedArea, u, v, du, du, 1.0f).r, 0.5f, 1e-5f);
  // Blur 0 shrinks the footprint to nothing: every mode reads the texel.
  EXPECT_NEAR(img.Sample(FilterMode::kPyramidal, u, v, du, du, 0.0f).r, 1.0f, 1e-6f);
  EXPECT_NEAR(img.Sample(FilterMode::kSummedArea, u, v, du, du, 0.0f).r, 1.0f, 1e-6f);
  // Blur scales the footprint: 1/8 of a texel footprint times 16 = two texels.
  EXPECT_NEAR(img.Sample(FilterMode::kPyramidal, u, v, 1.0f / 64, 1.0f / 64, 16.0f).r, 0.5f, 1e-5f);
}

TEST(FilteredImage, UnpreparedModesFallBackToBilinear) {
  FilteredImage img(Checker1(8));
  EXPECT_FALSE(img.Prepared(FilterMode::kSummedArea));
  const float u = U(img.Base(), 2), v = V(img.Base(), 3);
  EXPECT_NEAR(img.Sample(FilterMode::kSummedArea, u, v, 0.5f, 0.5f, 1.0f).r, 1.0f, 1e-6f);
  img.Prepare(FilterMode::kSummedArea);
  EXPECT_TRUE(img.Prepared(FilterMode::kSummedArea));
  EXPECT_NEAR(img.Sample(FilterMode::kSummedArea, u, v, 0.5f, 0.5f, 1.0f).r, 0.5f, 1e-5f);
}

class ImageFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("tilvara_render_" + std::to_string(::getpid()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::string Path(const char* name) const { return (dir_ / name).string(); }
  std::filesystem::path dir_;
};

TEST_F(ImageFiles, PngRoundTripKeepsEightBitValues) {
  Image img(3, 2);
  img.At(0, 0) = {1, 0, 0, 1};
  img.At(1, 0) = {0, 1, 0, 1};
  img.At(2, 0) = {0, 0, 1, 0.5f};
  img.At(0, 1) = {64 / 255.0f, 128 / 255.0f, 192 / 255.0f, 1};
  img.At(1, 1) = {2.0f, -1.0f, NAN, 1};  // clamped on writing
  std::string error;
  ASSERT_TRUE(WritePng(Path("a.png"), img, error)) << error;
  Image back;
  ASSERT_TRUE(LoadImageFile(Path("a.png"), back, error)) << error;
  ASSERT_EQ(back.width, 3);
  ASSERT_EQ(back.height, 2);
  ExpectNear(back.At(0, 0), {1, 0, 0, 1});
  ExpectNear(back.At(2, 0), {0, 0, 1, 128 / 255.0f});
  ExpectNear(back.At(0, 1), img.At(0, 1));
  ExpectNear(back.At(1, 1), {1, 0, 0, 1});
}

TEST_F(ImageFiles, MissingAndBrokenFilesFailWithAReason) {
  Image img;
  std::string error;
  EXPECT_FALSE(LoadImageFile(Path("absent.png"), img, error));
  EXPECT_FALSE(error.empty());
  {
    std::ofstream f(Path("broken.png"), std::ios::binary);
    f << "\x89PNG\r\n\x1a\n garbage";
  }
  error.clear();
  EXPECT_FALSE(LoadImageFile(Path("broken.png"), img, error));
  EXPECT_FALSE(error.empty());
  error.clear();
  EXPECT_FALSE(LoadImageFile("", img, error));
  EXPECT_FALSE(error.empty());
}

TEST_F(ImageFiles, WriteRefusesMismatchedSizes) {
  std::vector<unsigned char> png;
  const Status s = EncodePng(2, 2, std::vector<uint8_t>(3), png);
  EXPECT_FALSE(s.ok);
  EXPECT_EQ(s.error.rfind("EncodePng: ", 0), 0u) << s.error;
  EXPECT_TRUE(png.empty());
}

// A write that does not reach the disk is an error, never a success.
TEST_F(ImageFiles, WriteToAFullDeviceFails) {
  const Status full = WritePng("/dev/full", Image(64, 64, {0.5f, 0.25f, 1.0f, 1.0f}));
  EXPECT_FALSE(full.ok);
  EXPECT_EQ(full.error.rfind("WritePng: '/dev/full'", 0), 0u) << full.error;
  std::string error;
  EXPECT_FALSE(WritePng(Path("no/such/folder/x.png"), Image(2, 2), error));
  EXPECT_EQ(error.rfind("WritePng: ", 0), 0u) << error;
}

// A texture path that names a pipe is refused at once instead of blocking the host.
TEST_F(ImageFiles, PipesAndFoldersAreRefusedAsTextures) {
  Image img;
  std::string error;
#if !defined(_WIN32)  // Windows has no named pipes in the file system
  const std::string fifo = Path("pipe.png");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_FALSE(LoadImageFile(fifo, img, error));
  EXPECT_NE(error.find("not a regular file"), std::string::npos) << error;
  ::unlink(fifo.c_str());
  error.clear();
#endif
  EXPECT_FALSE(LoadImageFile(Path(""), img, error));
  EXPECT_NE(error.find("folder"), std::string::npos) << error;
}

}  // namespace
}  // namespace maxhost
