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
