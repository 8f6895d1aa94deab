#include "demo_textures.h"

#include <cmath>
#include <cstdint>

namespace tilvara_app {
namespace {

// Smooth value noise on an integer lattice, hashed so that every wood gets its own.
float Hash(int x, int y, uint32_t seed) {
  uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u + seed * 2246822519u;
  h = (h ^ (h >> 13)) * 1274126177u;
  return static_cast<float>((h ^ (h >> 16)) & 0xFFFFu) / 65535.0f;
}

float Noise(float x, float y, uint32_t seed) {
  const int xi = static_cast<int>(std::floor(x)), yi = static_cast<int>(std::floor(y));
  const float fx = x - xi, fy = y - yi;
  const float sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
  const float a = Hash(xi, yi, seed), b = Hash(xi + 1, yi, seed);
  const float c = Hash(xi, yi + 1, seed), d = Hash(xi + 1, yi + 1, seed);
  return (a + (b - a) * sx) + ((c + (d - c) * sx) - (a + (b - a) * sx)) * sy;
}

struct Wood {
  maxhost::Rgba light, dark;
  float rings;  // grain lines across the plank's height
};

}  // namespace

std::vector<maxhost::Image> MakeWoodTextures(int width, int height) {
  const Wood woods[] = {
      {{0.78f, 0.58f, 0.36f, 1}, {0.52f, 0.34f, 0.18f, 1}, 9.0f},   // oak
      {{0.46f, 0.30f, 0.19f, 1}, {0.24f, 0.14f, 0.08f, 1}, 12.0f},  // walnut
      {{0.90f, 0.78f, 0.60f, 1}, {0.72f, 0.58f, 0.40f, 1}, 7.0f},   // maple
      {{0.70f, 0.38f, 0.24f, 1}, {0.45f, 0.20f, 0.12f, 1}, 10.0f},  // cherry
  };
  std::vector<maxhost::Image> images;
  uint32_t seed = 17;
  for (const Wood& wood : woods) {
    maxhost::Image image(width, height);
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        const float u = static_cast<float>(x) / width, v = static_cast<float>(y) / height;
        // Rings bent by slow noise along the plank, with fine fibres on top.
        const float warp = Noise(u * 6.0f, v * 2.0f, seed) * 1.6f + Noise(u * 20.0f, v * 4.0f, seed + 1) * 0.3f;
        const float ring = 0.5f + 0.5f * std::sin((v * wood.rings + warp) * 6.2831853f);
        const float fibre = Noise(u * 180.0f, v * 40.0f, seed + 2) * 0.18f;
        const float t = std::fmin(1.0f, ring * ring * 0.85f + fibre);
        maxhost::Rgba& p = image.At(x, y);
        p.r = wood.light.r + (wood.dark.r - wood.light.r) * t;
        p.g = wood.light.g + (wood.dark.g - wood.light.g) * t;
        p.b = wood.light.b + (wood.dark.b - wood.light.b) * t;
        p.a = 1.0f;
      }
    }
    images.push_back(std::move(image));
    seed += 101;
  }
  return images;
}

}  // namespace tilvara_app
