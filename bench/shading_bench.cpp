// The host-free shading pieces alone: what one sample costs before any texture lookup.
#include <benchmark/benchmark.h>

#include "shading/shading.h"

namespace {

struct Hexcone {
  static tilvara::Rgb ToHsv(tilvara::Rgb c) {
    const float mx = std::max(c.r, std::max(c.g, c.b)), mn = std::min(c.r, std::min(c.g, c.b));
    const float d = mx - mn;
    float h = 0;
    if (d > 0) {
      h = c.r == mx ? (c.g - c.b) / d : c.g == mx ? 2 + (c.b - c.r) / d : 4 + (c.r - c.g) / d;
      h /= 6;
      if (h < 0) h += 1;
    }
    return {h, mx > 0 ? d / mx : 0, mx};
  }
  static tilvara::Rgb FromHsv(tilvara::Rgb c) {
    if (c.g <= 0) return {c.b, c.b, c.b};
    float h = c.r * 6;
    if (h >= 6) h = 0;
    const int i = static_cast<int>(h);
    const float f = h - i, v = c.b, p = v * (1 - c.g), q = v * (1 - c.g * f), t = v * (1 - c.g * (1 - f));
    switch (i) {
      case 0: return {v, t, p};
      case 1: return {q, v, p};
      case 2: return {p, v, t};
      case 3: return {p, q, v};
      case 4: return {t, p, v};
      default: return {v, p, q};
    }
  }
};

void BM_SelectAndAdjust(benchmark::State& state) {
  tilvara::AdjustSettings s;
  s.rndGamma = 0.2f, s.rndHue = 15, s.rndSat = 10, s.allGamma = 1.1f;
  int key = 0;
  for (auto _ : state) {
    const tilvara::ColorDraws d = tilvara::DrawForColor(tilvara::SampleSeed(++key & 1023, 12345));
    const tilvara::Rgba c = tilvara::AdjustColor<Hexcone>({0.4f, 0.5f, 0.6f, 1}, tilvara::UnitDraw(d.gamma),
                                                         tilvara::UnitDraw(d.hue),
                                                         tilvara::UnitDraw(d.saturation), s);
    benchmark::DoNotOptimize(c);
    benchmark::DoNotOptimize(tilvara::PickEntryIndex(7, d.index));
  }
}
BENCHMARK(BM_SelectAndAdjust);

}  // namespace
