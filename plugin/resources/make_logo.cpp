// Draws the rollout logo (bitmap resource 103): 318 x 56 pixels, 24-bit
// uncompressed BMP. A small grid of tiles, each given one colour picked by the
// same generator that shading uses, beside the word "Tilvara".
// Usage: make_logo <output.bmp>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

constexpr int kWidth = 318;
constexpr int kHeight = 56;

struct Rgb {
  float r, g, b;
};

Rgb Mix(Rgb a, Rgb b, float t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

class Image {
 public:
  Image() : pixels_(kWidth * kHeight) {}
  Rgb& At(int x, int y) { return pixels_[y * kWidth + x]; }
  void Blend(int x, int y, Rgb c, float alpha) {
    if (x < 0 || y < 0 || x >= kWidth || y >= kHeight || alpha <= 0.0f) return;
    At(x, y) = Mix(At(x, y), c, std::min(alpha, 1.0f));
  }
  bool WriteBmp(const char* path) const;

 private:
  std::vector<Rgb> pixels_;
};

void PutLe(std::vector<uint8_t>& out, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

bool Image::WriteBmp(const char* path) const {
  const int stride = (kWidth * 3 + 3) & ~3;
  const uint32_t image_size = static_cast<uint32_t>(stride * kHeight);
  std::vector<uint8_t> out;
  out.push_back('B');
  out.push_back('M');
  PutLe(out, 14 + 40 + image_size, 4);
  PutLe(out, 0, 4);
  PutLe(out, 14 + 40, 4);
  PutLe(out, 40, 4);  // BITMAPINFOHEADER
  PutLe(out, kWidth, 4);
  PutLe(out, kHeight, 4);  // positive: bottom-up rows
  PutLe(out, 1, 2);
  PutLe(out, 24, 2);
  PutLe(out, 0, 4);  // BI_RGB
  PutLe(out, image_size, 4);
  PutLe(out, 2835, 4);  // 72 dpi
  PutLe(out, 2835, 4);
  PutLe(out, 0, 4);
  PutLe(out, 0, 4);
  auto to_byte = [](float v) {
    return static_cast<uint8_t>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f));
  };
  for (int y = kHeight - 1; y >= 0; --y) {
    for (int x = 0; x < kWidth; ++x) {
      const Rgb& c = pixels_[y * kWidth + x];
      out.push_back(to_byte(c.b));
      out.push_back(to_byte(c.g));
      out.push_back(to_byte(c.r));
    }
    for (int pad = kWidth * 3; pad < stride; ++pad) out.push_back(0);
  }
  FILE* f = std::fopen(path, "wb");
  if (!f) return false;
  const bool ok = std::fwrite(out.data(), 1, out.size(), f) == out.size();
  return std::fclose(f) == 0 && ok;
}

// The run-time library's generator, as shading uses it.
class MsRand {
 public:
  explicit MsRand(uint32_t seed) : state_(seed) {}
  int Next() {
    state_ = state_ * 214013u + 2531011u;
    return static_cast<int>((state_ >> 16) & 0x7FFF);
  }

 private:
  uint32_t state_;
};

// Glyphs on a 5 x 7 grid; strokes join neighbouring cells and round the ends.
struct Glyph {
  char ch;
  const char* rows[7];
};

constexpr Glyph kGlyphs[] = {
    {'T', {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."}},
    {'i', {"..#..", ".....", ".##..", "..#..", "..#..", "..#..", ".###."}},
    {'l', {".##..", "..#..", "..#..", "..#..", "..#..", "..#..", ".###."}},
    {'v', {".....", ".....", "#...#", "#...#", ".#.#.", ".#.#.", "..#.."}},
    {'a', {".....", ".....", ".###.", "....#", ".####", "#...#", ".####"}},
    {'r', {".....", ".....", "#.##.", "##..#", "#....", "#....", "#...."}},
};

const Glyph* FindGlyph(char c) {
  for (const Glyph& g : kGlyphs)
    if (g.ch == c) return &g;
  return nullptr;
}

bool On(const Glyph& g, int col, int row) {
  return col >= 0 && col < 5 && row >= 0 && row < 7 && g.rows[row][col] == '#';
}

float SegmentDistance(float px, float py, float ax, float ay, float bx, float by) {
  const float dx = bx - ax, dy = by - ay;
  const float len2 = dx * dx + dy * dy;
  float t = len2 > 0.0f ? ((px - ax) * dx + (py - ay) * dy) / len2 : 0.0f;
  t = std::clamp(t, 0.0f, 1.0f);
  const float ex = px - (ax + t * dx), ey = py - (ay + t * dy);
  return std::sqrt(ex * ex + ey * ey);
}

// Distance, in grid cells, from a point to the glyph's strokes: segments between
// horizontally, vertically and diagonally adjacent cells that are on.
float GlyphDistance(const Glyph& g, float gx, float gy) {
  float best = 1e9f;
  for (int row = 0; row < 7; ++row) {
    for (int col = 0; col < 5; ++col) {
      if (!On(g, col, row)) continue;
      const float cx = col + 0.5f, cy = row + 0.5f;
      best = std::min(best, SegmentDistance(gx, gy, cx, cy, cx, cy));
      const int links[4][2] = {{1, 0}, {0, 1}, {1, 1}, {-1, 1}};
      for (const auto& l : links) {
        const int nc = col + l[0], nr = row + l[1];
        if (!On(g, nc, nr)) continue;
        // Diagonals only where no straight path already joins the two cells.
        if (l[0] != 0 && l[1] != 0 && (On(g, nc, row) || On(g, col, nr))) continue;
        best = std::min(best, SegmentDistance(gx, gy, cx, cy, nc + 0.5f, nr + 0.5f));
      }
    }
  }
  return best;
}

void DrawText(Image& img, const char* text, float x0, float y0, float cell, Rgb colour,
              float alpha) {
  constexpr int kSub = 4;
  const float radius = 0.48f;
  float pen = x0;
  for (const char* p = text; *p; ++p) {
    const Glyph* g = FindGlyph(*p);
    if (g) {
      for (int y = static_cast<int>(y0) - 1; y <= static_cast<int>(y0 + 7 * cell) + 1; ++y) {
        for (int x = static_cast<int>(pen) - 1; x <= static_cast<int>(pen + 5 * cell) + 1; ++x) {
          int inside = 0;
          for (int sy = 0; sy < kSub; ++sy)
            for (int sx = 0; sx < kSub; ++sx) {
              const float gx = (x + (sx + 0.5f) / kSub - pen) / cell;
              const float gy = (y + (sy + 0.5f) / kSub - y0) / cell;
              if (GlyphDistance(*g, gx, gy) <= radius) ++inside;
            }
          img.Blend(x, y, colour, alpha * inside / float(kSub * kSub));
        }
      }
    }
    pen += 6 * cell;
  }
}

void DrawTiles(Image& img) {
  // Tile colours: a muted palette, one entry chosen per tile by the generator.
  const Rgb palette[] = {{0.80f, 0.47f, 0.30f}, {0.87f, 0.70f, 0.42f}, {0.45f, 0.62f, 0.55f},
                         {0.62f, 0.40f, 0.36f}, {0.90f, 0.85f, 0.74f}, {0.36f, 0.50f, 0.64f}};
  MsRand rng(1);
  constexpr int kTile = 13, kGap = 3, kLeft = 12, kTop = 6;
  for (int ty = 0; ty < 3; ++ty) {
    for (int tx = 0; tx < 3; ++tx) {
      const Rgb base = palette[rng.Next() % 6];
      const int x0 = kLeft + tx * (kTile + kGap), y0 = kTop + ty * (kTile + kGap);
      for (int y = 0; y < kTile; ++y)
        for (int x = 0; x < kTile; ++x) {
          // Light from the top left, a darker rim at the bottom right.
          float shade = 1.08f - 0.16f * (x + y) / float(2 * kTile);
          if (x == kTile - 1 || y == kTile - 1) shade *= 0.78f;
          if (x == 0 || y == 0) shade *= 1.1f;
          img.At(x0 + x, y0 + y) = {base.r * shade, base.g * shade, base.b * shade};
        }
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_logo <output.bmp>\n");
    return 2;
  }
  Image img;
  const Rgb left{0.11f, 0.16f, 0.23f}, right{0.12f, 0.31f, 0.35f};
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x) {
      const float t = x / float(kWidth - 1);
      const float v = 1.0f - 0.12f * std::fabs(y - kHeight / 2.0f) / (kHeight / 2.0f);
      const Rgb c = Mix(left, right, t);
      img.At(x, y) = {c.r * v, c.g * v, c.b * v};
    }
  DrawTiles(img);
  const float cell = 5.0f, text_x = 78.0f, text_y = 10.0f;
  DrawText(img, "Tilvara", text_x + 1.5f, text_y + 1.5f, cell, {0.03f, 0.05f, 0.08f}, 0.55f);
  DrawText(img, "Tilvara", text_x, text_y, cell, {0.95f, 0.93f, 0.88f}, 1.0f);
  // A thin rule under the word, in the warm tile colour.
  for (int x = static_cast<int>(text_x); x < static_cast<int>(text_x + 41 * cell); ++x)
    img.Blend(x, 49, {0.87f, 0.70f, 0.42f}, 0.8f);
  if (!img.WriteBmp(argv[1])) {
    std::fprintf(stderr, "tilvara: error: make_logo: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
