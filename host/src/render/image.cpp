#include "render/image.h"

#include <stb/stb_image.h>
#include <stb/stb_image_write.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>

#include "base/files.h"

namespace maxhost {
namespace {

constexpr size_t kMaxImageFileBytes = size_t{1} << 30;

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
  if (path.empty()) {
    error = "no file name";
    return false;
  }
  // Only a regular file is read (a pipe or device given as a texture would block the
  // host), and only up to a size no texture reaches.
  std::vector<unsigned char> bytes;
  if (Status read = ReadRegularFile("LoadImageFile", path, kMaxImageFileBytes, bytes); !read) {
    error = read.error;
    return false;
  }
  if (bytes.size() > size_t(std::numeric_limits<int>::max())) {
    error = "LoadImageFile: '" + path + "' is too large";
    return false;
  }
  const auto* data = bytes.data();
  const int size = int(bytes.size());
  int w = 0, h = 0, channels = 0;
  // stb's failure reason is a global; the loader runs on the main thread only.
  auto failed = [&] {
    error = stbi_failure_reason() ? stbi_failure_reason() : "cannot read";
    return false;
  };
  if (stbi_is_hdr_from_memory(data, size)) {
    std::unique_ptr<float, StbFree> px(stbi_loadf_from_memory(data, size, &w, &h, &channels, 0));
    if (!px) return failed();
    // HDR files carry no alpha; stb reports one only when asked for four channels.
    Expand(px.get(), w, h, channels, 1.0f, out);
    return true;
  }
  if (stbi_is_16_bit_from_memory(data, size)) {
    std::unique_ptr<stbi_us, StbFree> px(
        stbi_load_16_from_memory(data, size, &w, &h, &channels, 0));
    if (!px) return failed();
    Expand(px.get(), w, h, channels, 1.0f / 65535.0f, out);
    return true;
  }
  std::unique_ptr<stbi_uc, StbFree> px(stbi_load_from_memory(data, size, &w, &h, &channels, 0));
  if (!px) return failed();
  Expand(px.get(), w, h, channels, 1.0f / 255.0f, out);
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

Status EncodePng(int width, int height, const std::vector<uint8_t>& rgba8,
                 std::vector<unsigned char>& out) {
  out.clear();
  if (width <= 0 || height <= 0 || rgba8.size() != size_t(width) * size_t(height) * 4)
    return Status::Failure("EncodePng: the image size does not match its pixels");
  auto append = [](void* context, void* data, int size) {
    auto* bytes = static_cast<std::vector<unsigned char>*>(context);
    const auto* p = static_cast<const unsigned char*>(data);
    bytes->insert(bytes->end(), p, p + size);
  };
  if (!stbi_write_png_to_func(append, &out, width, height, 4, rgba8.data(), width * 4))
    return Status::Failure("EncodePng: the image could not be encoded");
  return Status::Success();
}

Status WritePng(const std::string& path, const Image& image) {
  std::vector<unsigned char> png;
  if (Status encoded = EncodePng(image.width, image.height, ToRgba8(image), png); !encoded)
    return encoded;
  return WriteWholeFile("WritePng", path, png.data(), png.size());
}

bool WritePng(const std::string& path, const Image& image, std::string& error) {
  const Status written = WritePng(path, image);
  if (!written) error = written.error;
  return written.ok;
}

}  // namespace maxhost
