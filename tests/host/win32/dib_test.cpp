#include "win32/dib.h"

#include <gtest/gtest.h>

#include "res_builder.h"

namespace maxhost {
namespace {

using testing::ResBuilder;

std::vector<std::uint8_t> Header(int w, int h, int bpp, std::uint32_t colours = 0,
                                 std::uint32_t compression = 0) {
  std::vector<std::uint8_t> out;
  ResBuilder::Put(out, 40, 4);
  ResBuilder::Put(out, static_cast<std::uint32_t>(w), 4);
  ResBuilder::Put(out, static_cast<std::uint32_t>(h), 4);
  ResBuilder::Put(out, 1, 2);
  ResBuilder::Put(out, static_cast<std::uint32_t>(bpp), 2);
  ResBuilder::Put(out, compression, 4);
  for (int i = 0; i < 3; ++i) ResBuilder::Put(out, 0, 4);
  ResBuilder::Put(out, colours, 4);
  ResBuilder::Put(out, 0, 4);
  return out;
}

TEST(DecodeDib, Reads24BitBottomUpRowsWithPadding) {
  std::vector<std::uint8_t> d = Header(2, 2, 24);
  // Bottom row first: blue, green; then top row: red, white. Rows pad to 8 bytes.
  for (std::uint8_t v : {255, 0, 0, 0, 255, 0, 0, 0}) d.push_back(v);
  for (std::uint8_t v : {0, 0, 255, 255, 255, 255, 0, 0}) d.push_back(v);
  DibDecodeResult r = DecodeDib(d);
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(r.image.width, 2);
  EXPECT_EQ(r.image.height, 2);
  const std::uint8_t* p = r.image.Pixel(0, 0);
  EXPECT_EQ(p[0], 255);  // top left is red
  EXPECT_EQ(p[2], 0);
  p = r.image.Pixel(0, 1);
  EXPECT_EQ(p[2], 255);  // bottom left is blue
  p = r.image.Pixel(1, 1);
  EXPECT_EQ(p[1], 255);  // bottom right is green
  EXPECT_EQ(p[0], 0);
}

TEST(DecodeDib, ReadsTopDownPalettedAndBmpFiles) {
  // 8 bits, two palette entries, top-down (negative height).
  std::vector<std::uint8_t> d = Header(3, -1, 8, 2);
  for (std::uint8_t v : {0, 0, 0, 0, 10, 20, 30, 0}) d.push_back(v);
  for (std::uint8_t v : {1, 0, 1, 0}) d.push_back(v);
  DibDecodeResult r = DecodeDib(d);
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(r.image.Pixel(0, 0)[0], 30);
  EXPECT_EQ(r.image.Pixel(0, 0)[2], 10);
  EXPECT_EQ(r.image.Pixel(1, 0)[0], 0);

  // 1 bit: 10 pixels in one padded row.
  std::vector<std::uint8_t> mono = Header(10, 1, 1, 2);
  for (std::uint8_t v : {0, 0, 0, 0, 255, 255, 255, 0}) mono.push_back(v);
  for (std::uint8_t v : {0xA0, 0x40, 0, 0}) mono.push_back(v);
  r = DecodeDib(mono);
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(r.image.Pixel(0, 0)[0], 255);
  EXPECT_EQ(r.image.Pixel(1, 0)[0], 0);
  EXPECT_EQ(r.image.Pixel(2, 0)[0], 255);
  EXPECT_EQ(r.image.Pixel(9, 0)[0], 255);

  // The same 24-bit pixel wrapped in a file header.
  std::vector<std::uint8_t> file = {'B', 'M'};
  std::vector<std::uint8_t> dib = Header(1, 1, 24);
  for (std::uint8_t v : {1, 2, 3, 0}) dib.push_back(v);
  ResBuilder::Put(file, static_cast<std::uint32_t>(14 + dib.size()), 4);
  ResBuilder::Put(file, 0, 4);
  ResBuilder::Put(file, 54, 4);
  file.insert(file.end(), dib.begin(), dib.end());
  r = DecodeDib(file);
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(r.image.Pixel(0, 0)[0], 3);
  EXPECT_EQ(r.image.Pixel(0, 0)[2], 1);
}

TEST(DecodeDib, Reads32BitPixels) {
  std::vector<std::uint8_t> d = Header(1, 1, 32);
  for (std::uint8_t v : {10, 20, 30, 255}) d.push_back(v);
  DibDecodeResult r = DecodeDib(d);
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_EQ(r.image.Pixel(0, 0)[0], 30);
  EXPECT_EQ(r.image.Pixel(0, 0)[1], 20);
  EXPECT_EQ(r.image.Pixel(0, 0)[2], 10);
}

TEST(DecodeDib, RefusesBrokenBitmaps) {
  EXPECT_FALSE(DecodeDib({}).ok);
  std::vector<std::uint8_t> short_pixels = Header(4, 4, 24);
  short_pixels.resize(short_pixels.size() + 10);
  DibDecodeResult r = DecodeDib(short_pixels);
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.error.find("past the end"), std::string::npos) << r.error;
  EXPECT_FALSE(DecodeDib(Header(0, 4, 24)).ok);
  EXPECT_FALSE(DecodeDib(Header(100000, 4, 24)).ok);
  EXPECT_FALSE(DecodeDib(Header(4, 4, 7)).ok);
  EXPECT_FALSE(DecodeDib(Header(4, 4, 8, 0, 1)).ok);  // RLE8
  std::vector<std::uint8_t> big_palette = Header(1, 1, 8, 300);
  big_palette.resize(big_palette.size() + 4000);
  EXPECT_FALSE(DecodeDib(big_palette).ok);
  // A palette index beyond a short colour table.
  std::vector<std::uint8_t> bad_index = Header(1, 1, 8, 1);
  for (std::uint8_t v : {0, 0, 0, 0, 5, 0, 0, 0}) bad_index.push_back(v);
  EXPECT_FALSE(DecodeDib(bad_index).ok);
}

}  // namespace
}  // namespace maxhost
