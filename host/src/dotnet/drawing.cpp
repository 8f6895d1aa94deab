#include "dotnet/drawing.h"

#include <algorithm>

#include "dotnet/registration.h"

namespace maxhost::dotnet {

Color Color::fromArgb(int a, int r, int g, int b) {
  for (int c : {a, r, g, b})
    if (c < 0 || c > 255)
      throwArgument(L"Value of '" + std::to_wstring(c) +
                    L"' is not valid for 'red', 'green', 'blue' or 'alpha'. They should be "
                    L"greater than or equal to 0 and less than or equal to 255.");
  return Color{uint8_t(a), uint8_t(r), uint8_t(g), uint8_t(b), false};
}

template <>
std::wstring Boxed<Point>::toString() const {
  return L"{X=" + std::to_wstring(value.x) + L",Y=" + std::to_wstring(value.y) + L"}";
}
template <>
std::wstring Boxed<Size>::toString() const {
  return L"{Width=" + std::to_wstring(value.width) + L", Height=" + std::to_wstring(value.height) +
         L"}";
}
template <>
std::wstring Boxed<Rectangle>::toString() const {
  return L"{X=" + std::to_wstring(value.x) + L",Y=" + std::to_wstring(value.y) + L",Width=" +
         std::to_wstring(value.width) + L",Height=" + std::to_wstring(value.height) + L"}";
}
template <>
std::wstring Boxed<Color>::toString() const {
  if (value.isEmpty) return L"Color [Empty]";
  return L"Color [A=" + std::to_wstring(value.a) + L", R=" + std::to_wstring(value.r) + L", G=" +
         std::to_wstring(value.g) + L", B=" + std::to_wstring(value.b) + L"]";
}

Value box(const Point& p) {
  return Value::object(std::make_shared<Boxed<Point>>(typeNamed(L"System.Drawing.Point"), p));
}
Value box(const Size& s) {
  return Value::object(std::make_shared<Boxed<Size>>(typeNamed(L"System.Drawing.Size"), s));
}
Value box(const Rectangle& r) {
  return Value::object(
      std::make_shared<Boxed<Rectangle>>(typeNamed(L"System.Drawing.Rectangle"), r));
}
Value box(const Color& c) {
  return Value::object(std::make_shared<Boxed<Color>>(typeNamed(L"System.Drawing.Color"), c));
}

template <class T>
static T unbox(const Value& v, const wchar_t* name) {
  auto b = v.as<Boxed<T>>();
  if (!b)
    throw DotNetError(L"System.InvalidCastException",
                      L"Cannot convert " + v.typeName() + L" to " + name);
  return b->value;
}

Point toPoint(const Value& v) {
  return unbox<Point>(v, L"System.Drawing.Point");
}
Size toSize(const Value& v) {
  return unbox<Size>(v, L"System.Drawing.Size");
}
Rectangle toRectangle(const Value& v) {
  return unbox<Rectangle>(v, L"System.Drawing.Rectangle");
}
Color toColor(const Value& v) {
  return unbox<Color>(v, L"System.Drawing.Color");
}

namespace {

using K = TypeRef::Kind;
const TypeRef kInt = TypeRef::of(K::Int32);

template <class T>
T& boxed(Object* self) {
  return static_cast<Boxed<T>*>(self)->value;
}

// An int field of a boxed struct as a read-write property.
template <class T>
void intField(TypeInfo& t, const wchar_t* name, int T::*field) {
  t.property(
      name, kInt, [field](Object* s) { return Value::int32(boxed<T>(s).*field); },
      [field](Object* s, const Value& v) { boxed<T>(s).*field = int(v.asInt()); });
}

}  // namespace

void registerDrawingTypes(TypeRegistry& reg) {
  TypeInfo& point = reg.add(L"System.Drawing.Point");
  intField(point, L"X", &Point::x);
  intField(point, L"Y", &Point::y);
  point.constructor({}, [](Object*, const Args&) { return box(Point{}); });
  point.constructor({kInt, kInt}, [](Object*, const Args& a) {
    return box(Point{int(a[0].asInt()), int(a[1].asInt())});
  });
  point.property(L"IsEmpty", TypeRef::of(K::Boolean),
                 [](Object* s) { return Value::boolean(boxed<Point>(s) == Point{}); });

  TypeInfo& size = reg.add(L"System.Drawing.Size");
  intField(size, L"Width", &Size::width);
  intField(size, L"Height", &Size::height);
  size.constructor({}, [](Object*, const Args&) { return box(Size{}); });
  size.constructor({kInt, kInt}, [](Object*, const Args& a) {
    return box(Size{int(a[0].asInt()), int(a[1].asInt())});
  });

  TypeInfo& rect = reg.add(L"System.Drawing.Rectangle");
  intField(rect, L"X", &Rectangle::x);
  intField(rect, L"Y", &Rectangle::y);
  intField(rect, L"Width", &Rectangle::width);
  intField(rect, L"Height", &Rectangle::height);
  rect.property(L"Left", kInt, [](Object* s) { return Value::int32(boxed<Rectangle>(s).x); });
  rect.property(L"Top", kInt, [](Object* s) { return Value::int32(boxed<Rectangle>(s).y); });
  rect.property(L"Right", kInt,
                [](Object* s) { return Value::int32(boxed<Rectangle>(s).right()); });
  rect.property(L"Bottom", kInt,
                [](Object* s) { return Value::int32(boxed<Rectangle>(s).bottom()); });
  rect.property(L"Location", TypeRef::classOf(point), [](Object* s) {
    auto& r = boxed<Rectangle>(s);
    return box(Point{r.x, r.y});
  });
  rect.property(L"Size", TypeRef::classOf(size), [](Object* s) {
    auto& r = boxed<Rectangle>(s);
    return box(Size{r.width, r.height});
  });
  rect.property(L"IsEmpty", TypeRef::of(K::Boolean),
                [](Object* s) { return Value::boolean(boxed<Rectangle>(s) == Rectangle{}); });
  rect.method(L"Contains", {kInt, kInt}, [](Object* s, const Args& a) {
    return Value::boolean(boxed<Rectangle>(s).contains(int(a[0].asInt()), int(a[1].asInt())));
  });
  rect.constructor({kInt, kInt, kInt, kInt}, [](Object*, const Args& a) {
    return box(
        Rectangle{int(a[0].asInt()), int(a[1].asInt()), int(a[2].asInt()), int(a[3].asInt())});
  });
  rect.staticProperty(L"Empty", TypeRef::classOf(rect), [] { return box(Rectangle{}); });

  TypeInfo& color = reg.add(L"System.Drawing.Color");
  color.property(L"A", kInt,
                 [](Object* s) { return Value::integral(Value::Kind::Byte, boxed<Color>(s).a); });
  color.property(L"R", kInt,
                 [](Object* s) { return Value::integral(Value::Kind::Byte, boxed<Color>(s).r); });
  color.property(L"G", kInt,
                 [](Object* s) { return Value::integral(Value::Kind::Byte, boxed<Color>(s).g); });
  color.property(L"B", kInt,
                 [](Object* s) { return Value::integral(Value::Kind::Byte, boxed<Color>(s).b); });
  color.property(L"IsEmpty", TypeRef::of(K::Boolean),
                 [](Object* s) { return Value::boolean(boxed<Color>(s).isEmpty); });
  color.method(L"ToArgb", {},
               [](Object* s, const Args&) { return Value::int32(boxed<Color>(s).toArgb()); });
  color.staticMethod(L"FromArgb", {kInt, kInt, kInt}, [](Object*, const Args& a) {
    return box(Color::fromArgb(255, int(a[0].asInt()), int(a[1].asInt()), int(a[2].asInt())));
  });
  color.staticMethod(L"FromArgb", {kInt, kInt, kInt, kInt}, [](Object*, const Args& a) {
    return box(Color::fromArgb(int(a[0].asInt()), int(a[1].asInt()), int(a[2].asInt()),
                               int(a[3].asInt())));
  });
  color.staticMethod(L"FromArgb", {kInt}, [](Object*, const Args& a) {
    uint32_t argb = uint32_t(a[0].asInt());
    return box(Color::fromArgb(argb >> 24, (argb >> 16) & 255, (argb >> 8) & 255, argb & 255));
  });
  struct Named {
    const wchar_t* name;
    int a, r, g, b;
  };
  for (Named n : {Named{L"Black", 255, 0, 0, 0}, Named{L"White", 255, 255, 255, 255},
                  Named{L"Red", 255, 255, 0, 0}, Named{L"Green", 255, 0, 128, 0},
                  Named{L"Blue", 255, 0, 0, 255}, Named{L"Gray", 255, 128, 128, 128},
                  Named{L"Transparent", 0, 255, 255, 255}}) {
    color.staticProperty(n.name, TypeRef::classOf(color),
                         [n] { return box(Color::fromArgb(n.a, n.r, n.g, n.b)); });
  }
  color.staticProperty(L"Empty", TypeRef::classOf(color), [] { return box(Color{}); });
}

}  // namespace maxhost::dotnet
