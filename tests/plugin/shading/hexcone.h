#pragma once
// A hexcone HSV conversion for tests of the adjustment without the host.
#include <algorithm>
#include <cmath>

#include "shading/color_adjust.h"

struct TestHexcone {
  static tilvara::Rgb ToHsv(tilvara::Rgb c) {
    const float mx = std::max({c.r, c.g, c.b});
    const float mn = std::min({c.r, c.g, c.b});
    const float delta = mx - mn;
    float h = 0.0f;
    const float s = mx > 0.0f ? delta / mx : 0.0f;
    if (delta > 0.0f) {
      if (c.r == mx) h = (c.g - c.b) / delta;
      else if (c.g == mx) h = 2.0f + (c.b - c.r) / delta;
      else h = 4.0f + (c.r - c.g) / delta;
      h /= 6.0f;
      if (h < 0.0f) h += 1.0f;
    }
    return {h, s, mx};
  }
  static tilvara::Rgb FromHsv(tilvara::Rgb c) {
    const float v = c.b, s = c.g;
    if (s <= 0.0f) return {v, v, v};
    float h = c.r * 6.0f;
    if (h >= 6.0f) h = 0.0f;
    const int i = static_cast<int>(h);
    const float f = h - i, p = v * (1 - s), q = v * (1 - s * f), t = v * (1 - s * (1 - f));
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
