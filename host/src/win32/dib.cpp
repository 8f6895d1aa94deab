#include "win32/dib.h"

namespace maxhost {

namespace {

std::uint32_t Le(const std::uint8_t* p, int bytes) {
  std::uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | p[i];
  return v;
}

// Scales a masked channel to 0..255.
std::uint8_t Channel(std::uint32_t pixel, std::uint32_t mask) {
  if (mask == 0) return 0;
  int shift = 0;
  while (((mask >> shift) & 1) == 0) ++shift;
  const std::uint32_t max = mask >> shift;
  const std::uint32_t v = (pixel & mask) >> shift;
  return static_cast<std::uint8_t>((v * 255 + max / 2) / max);
}

constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiBitfields = 3;

// The channel masks of uncompressed 16- and 32-bit pixels (5-5-5 and 8-8-8).
void DefaultMasks(std::uint32_t bpp, std::uint32_t (&masks)[3]) {
  if (bpp == 16) {
    masks[0] = 0x7C00;
    masks[1] = 0x03E0;
    masks[2] = 0x001F;
  } else if (bpp == 32) {
    masks[0] = 0x00FF0000;
    masks[1] = 0x0000FF00;
    masks[2] = 0x000000FF;
  }
}

// Decodes the pixel rows (bottom-up unless top_down) into rgb; the caller has checked
// that `pixels` holds stride * height bytes. Returns why it failed, or nothing.
std::string DecodeRows(std::span<const std::uint8_t> pixels, std::size_t stride, int width,
                       int height, bool top_down, std::uint32_t bpp,
                       const std::vector<std::uint8_t>& palette, const std::uint32_t (&masks)[3],
                       RgbImage& img) {
  img.width = width;
  img.height = height;
  img.source_bits_per_pixel = static_cast<int>(bpp);
  img.rgb.resize(static_cast<std::size_t>(width) * height * 3);
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* row = &pixels[stride * (top_down ? y : height - 1 - y)];
    std::uint8_t* out = &img.rgb[static_cast<std::size_t>(y) * width * 3];
    for (int x = 0; x < width; ++x, out += 3) {
      if (bpp <= 8) {
        const std::uint32_t bit = static_cast<std::uint32_t>(x) * bpp;
        const std::uint32_t index = (row[bit / 8] >> (8 - bpp - bit % 8)) & ((1u << bpp) - 1);
        if (index * 3 >= palette.size())
          return "pixel " + std::to_string(x) + ", " + std::to_string(y) +
                 " indexes past the colour table";
        out[0] = palette[index * 3];
        out[1] = palette[index * 3 + 1];
        out[2] = palette[index * 3 + 2];
      } else if (bpp == 24) {
        out[0] = row[x * 3 + 2];
        out[1] = row[x * 3 + 1];
        out[2] = row[x * 3];
      } else {
        const std::uint32_t pixel = Le(row + x * (bpp / 8), static_cast<int>(bpp / 8));
        out[0] = Channel(pixel, masks[0]);
        out[1] = Channel(pixel, masks[1]);
        out[2] = Channel(pixel, masks[2]);
      }
    }
  }
  return {};
}

}  // namespace

DibDecodeResult DecodeDib(std::span<const std::uint8_t> bytes) {
  DibDecodeResult result;
  auto fail = [&](const std::string& why) {
    result.error = "DecodeDib: " + why;
    result.image = RgbImage{};
    return result;
  };
  std::size_t file_pixels_at = 0;
  if (bytes.size() >= 14 && bytes[0] == 'B' && bytes[1] == 'M') {
    file_pixels_at = Le(&bytes[10], 4);
    bytes = bytes.subspan(14);
    if (file_pixels_at < 14)
      return fail("pixel offset " + std::to_string(file_pixels_at) + " lies in the file header");
    file_pixels_at -= 14;
  }
  if (bytes.size() < 40)
    return fail("too short for a BITMAPINFOHEADER (" + std::to_string(bytes.size()) + " bytes)");
  const std::uint32_t header_size = Le(&bytes[0], 4);
  if (header_size < 40 || header_size > bytes.size())
    return fail("header size " + std::to_string(header_size) + " is not supported");
  const std::int32_t width = static_cast<std::int32_t>(Le(&bytes[4], 4));
  const std::int32_t raw_height = static_cast<std::int32_t>(Le(&bytes[8], 4));
  const std::uint32_t planes = Le(&bytes[12], 2);
  const std::uint32_t bpp = Le(&bytes[14], 2);
  const std::uint32_t compression = Le(&bytes[16], 4);
  std::uint32_t colours_used = Le(&bytes[32], 4);
  if (planes != 1) return fail("planes is " + std::to_string(planes) + ", not 1");
  if (width <= 0 || width > 32768 || raw_height == 0 || raw_height > 32768 || raw_height < -32768) {
    return fail("size " + std::to_string(width) + " x " + std::to_string(raw_height) +
                " is out of range");
  }
  const bool top_down = raw_height < 0;
  const int height = top_down ? -raw_height : raw_height;
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) {
    return fail(std::to_string(bpp) + " bits per pixel are not supported");
  }
  if (compression != kBiRgb && !(compression == kBiBitfields && (bpp == 16 || bpp == 32))) {
    return fail("compression " + std::to_string(compression) + " is not supported");
  }
  std::size_t pos = header_size;
  std::uint32_t masks[3] = {0, 0, 0};
  DefaultMasks(bpp, masks);
  if (compression == kBiBitfields) {
    if (header_size >= 52) {
      for (int i = 0; i < 3; ++i) masks[i] = Le(&bytes[40 + 4 * i], 4);
    } else {
      if (pos + 12 > bytes.size()) return fail("colour masks run past the end");
      for (int i = 0; i < 3; ++i) masks[i] = Le(&bytes[pos + 4 * i], 4);
      pos += 12;
    }
  }
  std::vector<std::uint8_t> palette;  // r, g, b per entry
  if (bpp <= 8) {
    const std::uint32_t max_colours = 1u << bpp;
    if (colours_used == 0) colours_used = max_colours;
    if (colours_used > max_colours)
      return fail("colour table of " + std::to_string(colours_used) + " entries is too big");
    if (pos + 4ull * colours_used > bytes.size()) return fail("colour table runs past the end");
    for (std::uint32_t i = 0; i < colours_used; ++i) {
      palette.push_back(bytes[pos + 4 * i + 2]);
      palette.push_back(bytes[pos + 4 * i + 1]);
      palette.push_back(bytes[pos + 4 * i]);
    }
    pos += 4ull * colours_used;
  } else if (colours_used > 0 && colours_used <= 256) {
    pos += 4ull * colours_used;  // an optional table that true-colour pixels do not use
  }
  if (file_pixels_at != 0) pos = file_pixels_at;
  const std::size_t stride = ((static_cast<std::size_t>(width) * bpp + 31) / 32) * 4;
  if (pos > bytes.size() || stride * height > bytes.size() - pos) {
    return fail("pixels run past the end (" + std::to_string(width) + " x " +
                std::to_string(height) + " at " + std::to_string(bpp) + " bits need " +
                std::to_string(stride * height) + " bytes)");
  }
  if (std::string why = DecodeRows(bytes.subspan(pos), stride, width, height, top_down, bpp,
                                   palette, masks, result.image);
      !why.empty())
    return fail(why);
  result.ok = true;
  return result;
}

}  // namespace maxhost
