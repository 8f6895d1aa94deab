#pragma once
// Images held by the renderer and the bitmap texture: linear RGBA floats, row 0 at the top.
#include <cstdint>
#include <string>
#include <vector>

#include "base/host_error.h"

namespace maxhost {

struct Rgba {
  float r = 0.0f, g = 0.0f, b = 0.0f, a = 0.0f;
  friend bool operator==(const Rgba&, const Rgba&) = default;
};

struct Image {
  int width = 0;
  int height = 0;
  std::vector<Rgba> pixels;  // width * height, row-major, top row first

  Image() = default;
  Image(int w, int h, Rgba fill = {}) : width(w), height(h), pixels(size_t(w) * size_t(h), fill) {}

  bool Empty() const { return width <= 0 || height <= 0; }
  Rgba& At(int x, int y) { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
  const Rgba& At(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
};

// Reads PNG, JPEG, BMP, TGA or HDR. 8- and 16-bit files give values in [0, 1] as stored (no
// gamma conversion); HDR files keep their float values. Grey images are spread to RGB and images
// without alpha get alpha 1. On failure returns false and sets `error` to the reason.
bool LoadImageFile(const std::string& path, Image& out, std::string& error);

// Converts to 8-bit RGBA (clamped to [0, 1], rounded to nearest).
std::vector<uint8_t> ToRgba8(const Image& image);

// Encodes 8-bit RGBA pixels (width * height * 4 bytes) as a PNG file's bytes.
Status EncodePng(int width, int height, const std::vector<uint8_t>& rgba8,
                 std::vector<unsigned char>& out);
// Writes an 8-bit RGBA PNG; fails when any byte does not reach the file (a full disk).
Status WritePng(const std::string& path, const Image& image);
// The same, for callers that keep an error text ("WritePng: ...").
bool WritePng(const std::string& path, const Image& image, std::string& error);

}  // namespace maxhost
