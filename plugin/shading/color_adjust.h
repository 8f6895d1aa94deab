#pragma once
// Gamma, hue and saturation adjustment of a sample's colour.

#include <cmath>

#include "shading/generator.h"

namespace tilvara {

struct Rgb {
  float r, g, b;
};

struct Rgba {
  float r, g, b, a;
};

// Cached adjustment values; the fractions are already derived from the distribution
// percentages (gamma: 1 - pct/100, hue and saturation: pct/100).
struct AdjustSettings {
  float allGamma = 1.0f, allHue = 0.0f, allSat = 100.0f;
  float rndGamma = 0.0f, rndHue = 0.0f, rndSat = 0.0f;
  float fracGamma = 0.5f, fracHue = 0.5f, fracSat = 0.5f;
};

// Maps a unit draw to [-1, 1], skewed by fraction f: the share 1 - f of draws lands below
// the knee 2f - 1. The tests on f are made in double, the arithmetic in single precision.
inline float DistributionCurve(float f, float u) {
  if (static_cast<double>(f) < 0.00001) return -1.0f;
  if (static_cast<double>(f) > 0.99999) return 1.0f;
  const float rest = 1.0f - f;
  if (u < rest) return ((f / rest) * u) * 2.0f - 1.0f;
  return (((u - 1.0f) * rest) / f + 1.0f) * 2.0f - 1.0f;
}

// A generator draw that becomes its unit value (draw / 32767, divided in double) only when
// an adjustment needs it; AdjustColor takes either this or the unit value itself.
struct DeferredUnit {
  int draw;
};
inline float UnitValue(float u) { return u; }
inline float UnitValue(DeferredUnit d) { return UnitDraw(d.draw); }

// The random part of one adjustment: curve times spread. A zero spread contributes an exact
// zero without evaluating the curve (whose divisions cost more than the rest of a sample),
// unless the fraction is NaN, where the curve's NaN must still poison the result.
template <class Unit>
float RandomOffset(float f, Unit u, float spread) {
  if (spread == 0.0f && f == f) return 0.0f;
  return DistributionCurve(f, UnitValue(u)) * spread;
}

inline float ClampUnit(float v) {
  if (v < 0.0f) return 0.0f;
  if (v > 1.0f) return 1.0f;
  return v;
}

// HsvConvert supplies the host's conversions: static Rgb ToHsv(Rgb), static Rgb FromHsv(Rgb),
// hue as a fraction of a turn. The result always has alpha 1 and components in [0, 1].
template <class HsvConvert, class Unit = float>
Rgba AdjustColor(const Rgba& base, Unit ug, Unit uh, Unit us, const AdjustSettings& s) {
  float r = base.r, g = base.g, b = base.b;

  const float p = RandomOffset(s.fracGamma, ug, s.rndGamma) + s.allGamma;
  if (p == 1.0f) {
    // x^1 is x for every x: the common neutral exponent skips three powf calls.
  } else if (p > 0.0f) {
    r = std::pow(r, p);
    g = std::pow(g, p);
    b = std::pow(b, p);
  } else {  // p <= 0 or NaN: anything but exact black becomes full
    r = (r == 0.0f) ? 0.0f : 1.0f;
    g = (g == 0.0f) ? 0.0f : 1.0f;
    b = (b == 0.0f) ? 0.0f : 1.0f;
  }

  Rgb hsv = HsvConvert::ToHsv(Rgb{r, g, b});

  float h = ((RandomOffset(s.fracHue, uh, s.rndHue) + s.allHue) / 360.0f) + hsv.r;
  if (h > 1.0f) {
    h = h - std::trunc(h);
  } else if (h < 0.0f) {
    h = h + std::ceil(-h);
  }

  float sat = ((RandomOffset(s.fracSat, us, s.rndSat) + s.allSat) / 100.0f) * hsv.g;
  if (sat > 1.0f) {
    sat = 1.0f;
  } else if (sat < 0.0f) {
    sat = 0.0f;
  }

  const Rgb rgb = HsvConvert::FromHsv(Rgb{h, sat, hsv.b});
  return Rgba{ClampUnit(rgb.r), ClampUnit(rgb.g), ClampUnit(rgb.b), 1.0f};
}

}  // namespace tilvara
