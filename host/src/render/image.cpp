#include "render/image.h"

#include <stb/stb_image.h>
#include <stb/stb_image_write.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace maxhost {
namespace {

struct StbFree {
  void operator()(void* p) const { stbi_image_free(p); }
};

template <typename T>
void Expand(const T* data, int w, int h, int channels, float scale, Image& out) {
  out = Image(w, h);
  for (size_t i = 0; i < out.pixels.size(); ++i) {
    const T* p = data + i * size_t(channels);
    Rgba& q = out.pixels[i];
    switch (channels) {
      case 1:
        q = {p[0] * scale, p[0] * scale, p[0] * scale, 1.0f};
        break;
      case 2:
        q = {p[0] * scale, p[0] * scale, p[0] * scale, p[1] * scale};
        break;
      case 3:
        q = {p[0] * scale, p[1] * scale, p[2] * scale, 1.0f};
        break;
      default:
        q = {p[0] * scale, p[1] * scale, p[2] * scale, p[3] * scale};
        break;
    }
  }
}

}  // namespace

bool LoadImageFile(const std::string& path, Image& out, std::string& error) {
  int w = 0, h = 0, channels = 0;
  if (path.empty()) {
    error = "no file name";
    return false;
  }
  // stb's failure reason is a global; the loader runs on the main thread only.
  if (stbi_is_hdr(path.c_str())) {
    std::unique_ptr<float, StbFree> data(stbi_loadf(path.c_str(), &w, &h, &channels, 0));
    if (!data) {
      error = stbi_failure_reason() ? stbi_failure_reason() : "cannot read";
      return false;
    }
    Expand(data.get(), w, h, channels, 1.0f, out);
    // HDR files carry no alpha; stb reports one only when asked for four channels.
    return true;
  }
  if (stbi_is_16_bit(path.c_str())) {
    std::unique_ptr<stbi_us, StbFree> data(stbi_load_16(path.c_str(), &w, &h, &channels, 0));
    if (!data) {
      error = stbi_failure_reason() ? stbi_failure_reason() : "cannot read";
      return false;
    }
    Expand(data.get(), w, h, channels, 1.0f / 65535.0f, out);
    return true;
  }
  std::unique_ptr<stbi_uc, StbFree> data(stbi_load(path.c_str(), &w, &h, &channels, 0));
  if (!data) {
    error = stbi_failure_reason() ? stbi_failure_reason() : "cannot read";
    return false;
  }
  Expand(data.get(), w, h, channels, 1.0f / 255.0f, out);
  return true;
}

std::vector<uint8_t> ToRgba8(const Image& image) {
  std::vector<uint8_t> bytes(image.pixels.size() * 4);
  auto to8 = [](float v) {
    if (!(v > 0.0f)) return uint8_t(0);  // also NaN
    if (v >= 1.0f) return uint8_t(255);
    return uint8_t(std::lround(v * 255.0f));
  };
  for (size_t i = 0; i < image.pixels.size(); ++i) {
    const Rgba& p = image.pixels[i];
    bytes[i * 4 + 0] = to8(p.r);
    bytes[i * 4 + 1] = to8(p.g);
    bytes[i * 4 + 2] = to8(p.b);
    bytes[i * 4 + 3] = to8(p.a);
  }
  return bytes;
}

bool WritePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgba8,
              std::string& error) {
  if (width <= 0 || height <= 0 || rgba8.size() != size_t(width) * size_t(height) * 4) {
    error = "image size does not match its pixels";
    return false;
  }
  if (!stbi_write_png(path.c_str(), width, height, 4, rgba8.data(), width * 4)) {
    error = "cannot write the file";
    return false;
  }
  return true;
}

bool WritePng(const std::string& path, const Image& image, std::string& error) {
  return WritePng(path, image.width, image.height, ToRgba8(image), error);
}

}  // namespace maxhost
