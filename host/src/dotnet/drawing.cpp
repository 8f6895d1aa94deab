#include "dotnet/drawing.h"

#include <algorithm>

#include "dotnet/registration.h"
#include "dotnet/type_table.h"

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

template <class T>
T& boxed(Object* self) {
  return static_cast<Boxed<T>*>(self)->value;
}
Value int32(int v) {
  return Value::int32(v);
}
Value byte(uint8_t v) {
  return Value::integral(Value::Kind::Byte, v);
}
int arg(const Args& a, size_t i) {
  return int(a[i].asInt());
}

const table::Constructor kPointConstructors[] = {
    {L"", [](const TypeInfo&, const Args&) { return box(Point{}); }},
    {L"int,int",
     [](const TypeInfo&, const Args& a) {
       return box(Point{arg(a, 0), arg(a, 1)});
     }},
};
const table::Property kPointProperties[] = {
    {L"X", L"int", [](Object* s) { return int32(boxed<Point>(s).x); },
     [](Object* s, const Value& v) { boxed<Point>(s).x = int(v.asInt()); }},
    {L"Y", L"int", [](Object* s) { return int32(boxed<Point>(s).y); },
     [](Object* s, const Value& v) { boxed<Point>(s).y = int(v.asInt()); }},
    {L"IsEmpty", L"bool", [](Object* s) { return Value::boolean(boxed<Point>(s) == Point{}); }},
};

const table::Constructor kSizeConstructors[] = {
    {L"", [](const TypeInfo&, const Args&) { return box(Size{}); }},
    {L"int,int",
     [](const TypeInfo&, const Args& a) {
       return box(Size{arg(a, 0), arg(a, 1)});
     }},
};
const table::Property kSizeProperties[] = {
    {L"Width", L"int", [](Object* s) { return int32(boxed<Size>(s).width); },
     [](Object* s, const Value& v) { boxed<Size>(s).width = int(v.asInt()); }},
    {L"Height", L"int", [](Object* s) { return int32(boxed<Size>(s).height); },
     [](Object* s, const Value& v) { boxed<Size>(s).height = int(v.asInt()); }},
};

Rectangle& rect(Object* s) {
  return boxed<Rectangle>(s);
}
const table::Constructor kRectangleConstructors[] = {
    {L"int,int,int,int",
     [](const TypeInfo&, const Args& a) {
       return box(Rectangle{arg(a, 0), arg(a, 1), arg(a, 2), arg(a, 3)});
     }},
};
const table::Property kRectangleProperties[] = {
    {L"X", L"int", [](Object* s) { return int32(rect(s).x); },
     [](Object* s, const Value& v) { rect(s).x = int(v.asInt()); }},
    {L"Y", L"int", [](Object* s) { return int32(rect(s).y); },
     [](Object* s, const Value& v) { rect(s).y = int(v.asInt()); }},
    {L"Width", L"int", [](Object* s) { return int32(rect(s).width); },
     [](Object* s, const Value& v) { rect(s).width = int(v.asInt()); }},
    {L"Height", L"int", [](Object* s) { return int32(rect(s).height); },
     [](Object* s, const Value& v) { rect(s).height = int(v.asInt()); }},
    {L"Left", L"int", [](Object* s) { return int32(rect(s).x); }},
    {L"Top", L"int", [](Object* s) { return int32(rect(s).y); }},
    {L"Right", L"int", [](Object* s) { return int32(rect(s).right()); }},
    {L"Bottom", L"int", [](Object* s) { return int32(rect(s).bottom()); }},
    {L"Location", L"System.Drawing.Point",
     [](Object* s) {
       return box(Point{rect(s).x, rect(s).y});
     }},
    {L"Size", L"System.Drawing.Size",
     [](Object* s) {
       return box(Size{rect(s).width, rect(s).height});
     }},
    {L"IsEmpty", L"bool", [](Object* s) { return Value::boolean(rect(s) == Rectangle{}); }},
};
const table::Method kRectangleMethods[] = {
    {L"Contains", L"int,int",
     [](Object* s, const Args& a) {
       return Value::boolean(rect(s).contains(arg(a, 0), arg(a, 1)));
     }},
};
const table::StaticProperty kRectangleStatics[] = {
    {L"Empty", L"System.Drawing.Rectangle", [] { return box(Rectangle{}); }},
};

const table::Property kColorProperties[] = {
    {L"A", L"int", [](Object* s) { return byte(boxed<Color>(s).a); }},
    {L"R", L"int", [](Object* s) { return byte(boxed<Color>(s).r); }},
    {L"G", L"int", [](Object* s) { return byte(boxed<Color>(s).g); }},
    {L"B", L"int", [](Object* s) { return byte(boxed<Color>(s).b); }},
    {L"IsEmpty", L"bool", [](Object* s) { return Value::boolean(boxed<Color>(s).isEmpty); }},
};
const table::Method kColorMethods[] = {
    {L"ToArgb", L"", [](Object* s, const Args&) { return int32(boxed<Color>(s).toArgb()); }},
};
const table::StaticMethod kColorStaticMethods[] = {
    {L"FromArgb", L"int,int,int",
     [](const Args& a) { return box(Color::fromArgb(255, arg(a, 0), arg(a, 1), arg(a, 2))); }},
    {L"FromArgb", L"int,int,int,int",
     [](const Args& a) {
       return box(Color::fromArgb(arg(a, 0), arg(a, 1), arg(a, 2), arg(a, 3)));
     }},
    {L"FromArgb", L"int",
     [](const Args& a) {
       uint32_t argb = uint32_t(a[0].asInt());
       return box(Color::fromArgb(argb >> 24, (argb >> 16) & 255, (argb >> 8) & 255, argb & 255));
     }},
};
const table::StaticProperty kColorStatics[] = {
    {L"Black", L"System.Drawing.Color", [] { return box(Color::fromArgb(255, 0, 0, 0)); }},
    {L"White", L"System.Drawing.Color", [] { return box(Color::fromArgb(255, 255, 255, 255)); }},
    {L"Red", L"System.Drawing.Color", [] { return box(Color::fromArgb(255, 255, 0, 0)); }},
    {L"Green", L"System.Drawing.Color", [] { return box(Color::fromArgb(255, 0, 128, 0)); }},
    {L"Blue", L"System.Drawing.Color", [] { return box(Color::fromArgb(255, 0, 0, 255)); }},
    {L"Gray", L"System.Drawing.Color", [] { return box(Color::fromArgb(255, 128, 128, 128)); }},
    {L"Transparent", L"System.Drawing.Color",
     [] { return box(Color::fromArgb(0, 255, 255, 255)); }},
    {L"Empty", L"System.Drawing.Color", [] { return box(Color{}); }},
};

const table::Class kClasses[] = {
    {.name = L"System.Drawing.Point",
     .constructors = kPointConstructors,
     .properties = kPointProperties},
    {.name = L"System.Drawing.Size",
     .constructors = kSizeConstructors,
     .properties = kSizeProperties},
    {.name = L"System.Drawing.Rectangle",
     .constructors = kRectangleConstructors,
     .properties = kRectangleProperties,
     .methods = kRectangleMethods,
     .staticProperties = kRectangleStatics},
    {.name = L"System.Drawing.Color",
     .properties = kColorProperties,
     .methods = kColorMethods,
     .staticProperties = kColorStatics,
     .staticMethods = kColorStaticMethods},
};

}  // namespace

void registerDrawingTypes(TypeRegistry& reg) {
  table::registerClasses(reg, L"System.Drawing.", kClasses);
}

}  // namespace maxhost::dotnet
