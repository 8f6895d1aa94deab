#pragma once

#include <cmath>

#include "maxheap.h"

class Point2 : public MaxHeapOperators {
 public:
  float x = 0.0f, y = 0.0f;
  Point2() = default;
  Point2(float X, float Y) : x(X), y(Y) {}
  Point2 operator+(const Point2& p) const { return Point2(x + p.x, y + p.y); }
  Point2 operator-(const Point2& p) const { return Point2(x - p.x, y - p.y); }
  Point2 operator*(float f) const { return Point2(x * f, y * f); }
  float& operator[](int i) { return i == 0 ? x : y; }
  float operator[](int i) const { return i == 0 ? x : y; }
  bool operator==(const Point2& p) const { return x == p.x && y == p.y; }
};

class Point3 : public MaxHeapOperators {
 public:
  float x = 0.0f, y = 0.0f, z = 0.0f;
  Point3() = default;
  Point3(float X, float Y, float Z) : x(X), y(Y), z(Z) {}
  Point3(double X, double Y, double Z)
      : x(static_cast<float>(X)), y(static_cast<float>(Y)), z(static_cast<float>(Z)) {}
  Point3(int X, int Y, int Z)
      : x(static_cast<float>(X)), y(static_cast<float>(Y)), z(static_cast<float>(Z)) {}

  float& operator[](int i) { return i == 0 ? x : (i == 1 ? y : z); }
  float operator[](int i) const { return i == 0 ? x : (i == 1 ? y : z); }
  Point3 operator-() const { return Point3(-x, -y, -z); }
  Point3 operator+(const Point3& p) const { return Point3(x + p.x, y + p.y, z + p.z); }
  Point3 operator-(const Point3& p) const { return Point3(x - p.x, y - p.y, z - p.z); }
  Point3 operator*(float f) const { return Point3(x * f, y * f, z * f); }
  Point3 operator/(float f) const { return Point3(x / f, y / f, z / f); }
  Point3& operator+=(const Point3& p) {
    x += p.x;
    y += p.y;
    z += p.z;
    return *this;
  }
  Point3& operator-=(const Point3& p) {
    x -= p.x;
    y -= p.y;
    z -= p.z;
    return *this;
  }
  Point3& operator*=(float f) {
    x *= f;
    y *= f;
    z *= f;
    return *this;
  }
  bool operator==(const Point3& p) const { return x == p.x && y == p.y && z == p.z; }
  bool operator!=(const Point3& p) const { return !(*this == p); }
  float Length() const { return std::sqrt(x * x + y * y + z * z); }
  float LengthSquared() const { return x * x + y * y + z * z; }
  Point3 Normalize() const {
    const float l = Length();
    return l > 0.0f ? *this / l : *this;
  }
};

inline Point3 operator*(float f, const Point3& p) {
  return p * f;
}
inline float DotProd(const Point3& a, const Point3& b) {
  return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline Point3 CrossProd(const Point3& a, const Point3& b) {
  return Point3(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x);
}
inline Point3 Normalize(const Point3& p) {
  return p.Normalize();
}
inline float Length(const Point3& p) {
  return p.Length();
}
