#include "hsv.h"

#include <cmath>

Color RGBtoHSV(Color rgb) {
  const float r = rgb.r, g = rgb.g, b = rgb.b;
  // Plain comparisons rather than fmax/fmin, which are library calls on the shading path.
  const float mx = r > g ? (r > b ? r : b) : (g > b ? g : b);
  const float mn = r < g ? (r < b ? r : b) : (g < b ? g : b);
  const float delta = mx - mn;
  if (!(mx > 0.0f) || !(delta > 0.0f)) return Color(0.0f, 0.0f, mx);
  const float s = delta / mx;
  float h;
  if (r == mx)
    h = (g - b) / delta;
  else if (g == mx)
    h = 2.0f + (b - r) / delta;
  else
    h = 4.0f + (r - g) / delta;
  h /= 6.0f;
  if (h < 0.0f) h += 1.0f;
  if (h >= 1.0f) h = 0.0f;  // -tiny + 1 may round up to a whole turn
  return Color(h, s, mx);
}

Color HSVtoRGB(Color hsv) {
  float h = hsv.r;
  const float s = hsv.g, v = hsv.b;
  if (!(s > 0.0f)) return Color(v, v, v);
  if (!std::isfinite(h)) h = 0.0f;
  // Whole turns off; hues in [0, 1] (all that shading passes) avoid the floor calls.
  if (!(h >= 0.0f && h <= 1.0f)) h -= std::floor(h);
  const float h6 = h * 6.0f;
  float sector = static_cast<float>(static_cast<int>(h6));
  const float f = h6 - sector;
  if (sector >= 6.0f) sector = 0.0f;
  const float p = v * (1.0f - s);
  const float q = v * (1.0f - s * f);
  const float t = v * (1.0f - s * (1.0f - f));
  switch (int(sector)) {
    case 0:
      return Color(v, t, p);
    case 1:
      return Color(q, v, p);
    case 2:
      return Color(p, v, t);
    case 3:
      return Color(p, q, v);
    case 4:
      return Color(t, p, v);
    default:
      return Color(v, p, q);
  }
}
