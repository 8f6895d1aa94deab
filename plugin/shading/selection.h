#pragma once
// Which sub-texture a sample gets: key, generator seed and table lookup.

#include <cmath>
#include <cstdint>

#include "shading/generator.h"

namespace tilvara {

enum RandomizeBy : int32_t { kByMaterialId = 0, kByObject = 1, kByTile = 2 };

// W of map channel 99 to a tile key, truncated toward zero. A value that has no int32
// (NaN, infinity, beyond the range) gives INT32_MIN, as the x86 truncating conversion
// of a Windows build does, instead of undefined behaviour.
inline int32_t TileKey(float w) {
  if (!(w > -2147483904.0f && w < 2147483648.0f)) return INT32_MIN;
  return static_cast<int32_t>(w);
}

// Source supplies the sample's identifiers lazily: int32_t MaterialId(), int32_t NodeId(),
// float TileW(). Object and tile keys apply only during a scene render; previews, viewport
// display and anything else key by material ID whatever the mode.
template <class Source>
int32_t SampleKey(int32_t mode, bool sceneRender, Source& source) {
  if (mode == kByMaterialId || !sceneRender) return source.MaterialId();
  if (mode == kByObject) return source.NodeId();
  return TileKey(source.TileW());
}

// Generator seed from key and user seed, in wrapping 32-bit arithmetic.
inline uint32_t SampleSeed(int32_t key, int32_t seed) {
  const uint32_t d = static_cast<uint32_t>(key) * static_cast<uint32_t>(seed);
  return d * (d * d * 15731u + 789221u);
}

// Index of the table entry that an index draw chooses, or -1 for an empty table.
inline int32_t PickEntryIndex(int32_t count, int32_t indexDraw) {
  if (count <= 0) return -1;
  return indexDraw % count;
}

// PickEntryIndex for one table size, without a division per sample: the reciprocal is made
// once per update. Exact for every draw 0..32767 and every count (q = floor(draw * m / 2^32)
// with m = ceil(2^32 / count) is the true quotient while draw * (m * count - 2^32) < 2^32).
class EntryPicker {
 public:
  EntryPicker() = default;
  explicit EntryPicker(int32_t count)
      : count_(count > 0 ? static_cast<uint32_t>(count) : 0u),
        magic_(count > 0 ? UINT64_C(0xFFFFFFFF) / static_cast<uint32_t>(count) + 1 : 0) {}

  int32_t Index(int32_t indexDraw) const {
    if (count_ == 0) return -1;
    if (count_ > static_cast<uint32_t>(kRandMax)) return indexDraw;  // draw < count
    const uint32_t draw = static_cast<uint32_t>(indexDraw);
    const uint32_t quotient = static_cast<uint32_t>((draw * magic_) >> 32);
    return static_cast<int32_t>(draw - quotient * count_);
  }

 private:
  uint32_t count_ = 0;
  uint64_t magic_ = 0;
};

// The four draws of a colour evaluation, in the order they are made.
struct ColorDraws {
  int index, gamma, hue, saturation;
};

inline ColorDraws DrawForColor(uint32_t generatorSeed) {
  CrtRandom rng(generatorSeed);
  ColorDraws d;
  d.index = rng.Next();
  d.gamma = rng.Next();
  d.hue = rng.Next();
  d.saturation = rng.Next();
  return d;
}

}  // namespace tilvara
