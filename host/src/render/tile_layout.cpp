#include "render/tile_layout.h"

#include <algorithm>
#include <cmath>

namespace maxhost {
namespace {

uint32_t Mix(uint32_t x) {
  x ^= x >> 16;
  x *= 0x7feb352dU;
  x ^= x >> 15;
  x *= 0x846ca68bU;
  x ^= x >> 16;
  return x;
}

float Unit(int row, int seed, uint32_t salt) {
  const uint32_t h = Mix(uint32_t(row) * 0x9e3779b9U ^ Mix(uint32_t(seed) + salt));
  return float(h >> 8) * (1.0f / 16777216.0f);
}

float Sanitize(float v, float fallback) {
  return std::isfinite(v) && v > 0.0f ? v : fallback;
}

}  // namespace

float RowPlankLength(const TileLayout& layout, int row) {
  const float lo = Sanitize(layout.minLength, 1.0f);
  const float hi = std::max(lo, Sanitize(layout.maxLength, lo));
  return lo + (hi - lo) * Unit(row, layout.seed, 0x1234u);
}

float RowOffset(const TileLayout& layout, int row) {
  return RowPlankLength(layout, row) * Unit(row, layout.seed, 0xabcdu);
}

int TileId(int row, int column) {
  return 1 + int((uint32_t(row) & 0x7ffu) << 12 | (uint32_t(column) & 0xfffu));
}

TileHit LocateTile(const TileLayout& layout, float u, float v) {
  if (!std::isfinite(u)) u = 0.0f;
  if (!std::isfinite(v)) v = 0.0f;
  const double rowHeight = Sanitize(layout.rowHeight, 1.0f);
  TileHit hit;
  const double rowPos = double(v) / rowHeight;
  const double rowFloor = std::floor(rowPos);
  hit.row = int(std::clamp(rowFloor, -1e9, 1e9));
  const double length = RowPlankLength(layout, hit.row);
  const double x = double(u) + RowOffset(layout, hit.row);
  const double colFloor = std::floor(x / length);
  hit.column = int(std::clamp(colFloor, -1e9, 1e9));
  hit.id = TileId(hit.row, hit.column);

  // Half a grout line on each side of every plank, never more than the plank itself.
  const double half = std::clamp(double(layout.grout > 0.0f ? layout.grout : 0.0f) * 0.5, 0.0,
                                 std::min(length, rowHeight) * 0.49);
  const double inU = x - colFloor * length;            // [0, length)
  const double inV = (rowPos - rowFloor) * rowHeight;  // [0, rowHeight)
  const double faceW = length - 2 * half, faceH = rowHeight - 2 * half;
  hit.grout = inU < half || inU >= length - half || inV < half || inV >= rowHeight - half;
  hit.localU = float(std::clamp((inU - half) / faceW, 0.0, 1.0));
  hit.localV = float(std::clamp((inV - half) / faceH, 0.0, 1.0));
  hit.faceWidth = float(faceW);
  hit.faceHeight = float(faceH);
  return hit;
}

}  // namespace maxhost
