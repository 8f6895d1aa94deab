// Colours of the host: three (Color) or four (AColor) single-precision components.
// Both stay trivially copyable so that they can travel through variadic tables.
#pragma once

#include "maxheap.h"
#include "maxtypes.h"
#include "point3.h"

class Color : public MaxHeapOperators {
 public:
  float r = 0.0f, g = 0.0f, b = 0.0f;
  Color() = default;
  Color(float R, float G, float B) : r(R), g(G), b(B) {}
  Color(double R, double G, double B)
      : r(static_cast<float>(R)), g(static_cast<float>(G)), b(static_cast<float>(B)) {}
  Color(int R, int G, int B)
      : r(static_cast<float>(R)), g(static_cast<float>(G)), b(static_cast<float>(B)) {}
  explicit Color(const Point3& p) : r(p.x), g(p.y), b(p.z) {}
  operator Point3() const { return Point3(r, g, b); }

  float& operator[](int i) { return i == 0 ? r : (i == 1 ? g : b); }
  float operator[](int i) const { return i == 0 ? r : (i == 1 ? g : b); }
  Color operator+(const Color& c) const { return Color(r + c.r, g + c.g, b + c.b); }
  Color operator-(const Color& c) const { return Color(r - c.r, g - c.g, b - c.b); }
  Color operator*(const Color& c) const { return Color(r * c.r, g * c.g, b * c.b); }
  Color operator*(float f) const { return Color(r * f, g * f, b * f); }
  Color operator/(float f) const { return Color(r / f, g / f, b / f); }
  Color& operator+=(const Color& c) {
    r += c.r;
    g += c.g;
    b += c.b;
    return *this;
  }
  Color& operator*=(float f) {
    r *= f;
    g *= f;
    b *= f;
    return *this;
  }
  bool operator==(const Color& c) const { return r == c.r && g == c.g && b == c.b; }
  bool operator!=(const Color& c) const { return !(*this == c); }

  void ClampMax() {
    if (r > 1.0f) r = 1.0f;
    if (g > 1.0f) g = 1.0f;
    if (b > 1.0f) b = 1.0f;
  }
  void ClampMin() {
    if (r < 0.0f) r = 0.0f;
    if (g < 0.0f) g = 0.0f;
    if (b < 0.0f) b = 0.0f;
  }
  void ClampMinMax() {
    ClampMin();
    ClampMax();
  }
  void Black() { r = g = b = 0.0f; }
  void White() { r = g = b = 1.0f; }
};

inline Color operator*(float f, const Color& c) {
  return c * f;
}
