// System.Drawing value types. They are boxed when they cross into the object model and
// copied on every property read, as .NET value types are.
#pragma once

#include <cstdint>

#include "dotnet/object.h"

namespace maxhost::dotnet {

struct Point {
  int x = 0;
  int y = 0;
  bool operator==(const Point&) const = default;
};

struct Size {
  int width = 0;
  int height = 0;
  bool operator==(const Size&) const = default;
};

struct Rectangle {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  int right() const { return x + width; }
  int bottom() const { return y + height; }
  // Right and bottom edges are outside, as in System.Drawing.
  bool contains(int px, int py) const {
    return px >= x && px < right() && py >= y && py < bottom();
  }
  bool operator==(const Rectangle&) const = default;
};

struct Color {
  uint8_t a = 0;
  uint8_t r = 0;
  uint8_t g = 0;
  uint8_t b = 0;
  bool isEmpty = true;  // Color.Empty differs from transparent black
  static Color fromArgb(int a, int r, int g, int b);
  int32_t toArgb() const {
    return static_cast<int32_t>((uint32_t(a) << 24) | (r << 16) | (g << 8) | b);
  }
  bool operator==(const Color&) const = default;
};

template <class T>
class Boxed : public Object {
 public:
  Boxed(const TypeInfo& type, const T& v) : Object(type), value(v) {}
  bool equals(const Object& other) const override {
    auto* o = dynamic_cast<const Boxed<T>*>(&other);
    return o && o->value == value;
  }
  std::wstring toString() const override;
  T value;
};

Value box(const Point& p);
Value box(const Size& s);
Value box(const Rectangle& r);
Value box(const Color& c);
// Unboxing a null or another type throws System.InvalidCastException.
Point toPoint(const Value& v);
Size toSize(const Value& v);
Rectangle toRectangle(const Value& v);
Color toColor(const Value& v);

}  // namespace maxhost::dotnet
