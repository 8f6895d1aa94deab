// Device-independent bitmaps (RT_BITMAP resources and .bmp files) decoded to
// 8-bit RGB pixels.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace maxhost {

struct RgbImage {
  int width = 0;
  int height = 0;
  int source_bits_per_pixel = 0;
  std::vector<std::uint8_t> rgb;  // rows top to bottom, 3 bytes (r, g, b) per pixel

  const std::uint8_t* Pixel(int x, int y) const {
    return &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
  }
};

struct DibDecodeResult {
  bool ok = false;
  RgbImage image;
  std::string error;  // "DecodeDib: ..." when !ok
};

// Takes a packed DIB (a BITMAPINFOHEADER or later header, the colour table, the
// pixels) or a whole .bmp file. Uncompressed 1, 4, 8, 16, 24 and 32 bits per
// pixel, bottom-up or top-down.
DibDecodeResult DecodeDib(std::span<const std::uint8_t> bytes);

}  // namespace maxhost
