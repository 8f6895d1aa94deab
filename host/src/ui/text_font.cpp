#include "ui/text_font.h"

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#include <stb/stb_easy_font.h>
#pragma GCC diagnostic pop

#include <algorithm>
#include <cmath>
#include <vector>

namespace maxhost::ui {
namespace {

constexpr wchar_t kDegree = 0x00B0;
constexpr float kDegreeAdvance = 5.0f;

struct Quad {
  float x0, y0, x1, y1;
};

// The glyph quads of text at scale 1 with the pen at (0, 0), and the advance.
float Layout(const std::wstring& text, std::vector<Quad>* quads) {
  float pen = 0.0f;
  std::string run;
  auto flush = [&]() {
    if (run.empty()) return;
    if (quads) {
      // Up to 16 segment quads of 64 bytes per glyph.
      std::vector<char> buffer(run.size() * 16 * 64 + 64);
      const int n = stb_easy_font_print(pen, 0.0f, run.data(), nullptr, buffer.data(),
                                        static_cast<int>(buffer.size()));
      // Each quad is four vertices of 16 bytes: x, y, z floats and a colour.
      for (int q = 0; q < n; ++q) {
        const float* v0 = reinterpret_cast<const float*>(buffer.data() + q * 64);
        const float* v2 = reinterpret_cast<const float*>(buffer.data() + q * 64 + 32);
        quads->push_back(Quad{v0[0], v0[1], v2[0], v2[1]});
      }
    }
    pen += static_cast<float>(stb_easy_font_width(run.data()));
    run.clear();
  };
  for (wchar_t c : text) {
    if (c == kDegree) {
      flush();
      // A small ring at the top of the line.
      if (quads) {
        quads->push_back(Quad{pen, 0.0f, pen + 3.0f, 1.0f});
        quads->push_back(Quad{pen, 2.0f, pen + 3.0f, 3.0f});
        quads->push_back(Quad{pen, 1.0f, pen + 1.0f, 2.0f});
        quads->push_back(Quad{pen + 2.0f, 1.0f, pen + 3.0f, 2.0f});
      }
      pen += kDegreeAdvance;
      continue;
    }
    run.push_back(c >= 32 && c < 127 ? static_cast<char>(c) : '?');
  }
  flush();
  return pen;
}

}  // namespace

float TextWidth(const std::wstring& text, float scale) {
  return Layout(text, nullptr) * scale;
}

void FillRect(Image& image, float x0, float y0, float x1, float y1, Rgba color) {
  if (x1 < x0) std::swap(x0, x1);
  if (y1 < y0) std::swap(y0, y1);
  const int ix0 = std::max(0, static_cast<int>(std::floor(x0)));
  const int iy0 = std::max(0, static_cast<int>(std::floor(y0)));
  const int ix1 = std::min(image.width, static_cast<int>(std::ceil(x1)));
  const int iy1 = std::min(image.height, static_cast<int>(std::ceil(y1)));
  for (int y = iy0; y < iy1; ++y) {
    const float cy = std::min(y1, y + 1.0f) - std::max(y0, static_cast<float>(y));
    if (cy <= 0.0f) continue;
    for (int x = ix0; x < ix1; ++x) {
      const float cx = std::min(x1, x + 1.0f) - std::max(x0, static_cast<float>(x));
      if (cx <= 0.0f) continue;
      const float a = std::clamp(cx * cy * color.a, 0.0f, 1.0f);
      Rgba& p = image.At(x, y);
      p.r += (color.r - p.r) * a;
      p.g += (color.g - p.g) * a;
      p.b += (color.b - p.b) * a;
      p.a = 1.0f;
    }
  }
}

void DrawText(Image& image, float x, float y, const std::wstring& text, float scale, Rgba color,
              float maxWidth) {
  std::vector<Quad> quads;
  const float width = Layout(text, &quads) * scale;
  const float squeeze = (maxWidth > 0.0f && width > maxWidth) ? maxWidth / width : 1.0f;
  const float sx = scale * squeeze;
  for (const Quad& q : quads)
    FillRect(image, x + q.x0 * sx, y + q.y0 * scale, x + q.x1 * sx, y + q.y1 * scale, color);
}

}  // namespace maxhost::ui
