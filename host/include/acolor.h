#pragma once

#include "color.h"

class AColor : public MaxHeapOperators {
 public:
  float r = 0.0f, g = 0.0f, b = 0.0f, a = 0.0f;
  AColor() = default;
  AColor(float R, float G, float B, float A = 1.0f) : r(R), g(G), b(B), a(A) {}
  AColor(double R, double G, double B, double A = 1.0)
      : r(static_cast<float>(R)),
        g(static_cast<float>(G)),
        b(static_cast<float>(B)),
        a(static_cast<float>(A)) {}
  AColor(int R, int G, int B, int A = 1)
      : r(static_cast<float>(R)),
        g(static_cast<float>(G)),
        b(static_cast<float>(B)),
        a(static_cast<float>(A)) {}
  AColor(const Color& c, float A = 1.0f) : r(c.r), g(c.g), b(c.b), a(A) {}
  operator Color() const { return Color(r, g, b); }

  float& operator[](int i) { return i == 0 ? r : (i == 1 ? g : (i == 2 ? b : a)); }
  float operator[](int i) const { return i == 0 ? r : (i == 1 ? g : (i == 2 ? b : a)); }
  AColor operator+(const AColor& c) const { return AColor(r + c.r, g + c.g, b + c.b, a + c.a); }
  AColor operator-(const AColor& c) const { return AColor(r - c.r, g - c.g, b - c.b, a - c.a); }
  AColor operator*(float f) const { return AColor(r * f, g * f, b * f, a * f); }
  AColor operator*(const AColor& c) const { return AColor(r * c.r, g * c.g, b * c.b, a * c.a); }
  AColor& operator+=(const AColor& c) {
    r += c.r;
    g += c.g;
    b += c.b;
    a += c.a;
    return *this;
  }
  bool operator==(const AColor& c) const { return r == c.r && g == c.g && b == c.b && a == c.a; }
  bool operator!=(const AColor& c) const { return !(*this == c); }

  // Clamps all four components to [0, 1].
  void ClampMin() {
    if (r < 0.0f) r = 0.0f;
    if (g < 0.0f) g = 0.0f;
    if (b < 0.0f) b = 0.0f;
    if (a < 0.0f) a = 0.0f;
  }
  void ClampMax() {
    if (r > 1.0f) r = 1.0f;
    if (g > 1.0f) g = 1.0f;
    if (b > 1.0f) b = 1.0f;
    if (a > 1.0f) a = 1.0f;
  }
  void ClampMinMax() {
    ClampMin();
    ClampMax();
  }
  void Black() {
    r = g = b = 0.0f;
    a = 1.0f;
  }
  void White() { r = g = b = a = 1.0f; }
};

inline AColor operator*(float f, const AColor& c) {
  return c * f;
}
