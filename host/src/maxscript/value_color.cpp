// Colour and two-component point values, their arithmetic, and the built-ins that make
// and measure points and colours (color, point2, point3, length, normalize, dot, cross,
// distance) with the predefined colour globals.
#include <algorithm>
#include <cmath>

#include "base/text.h"
#include "maxscript/engine.h"
#include "maxscript/heap.h"
#include "maxscript/lib_common.h"
#include "maxscript/ops.h"
#include "maxscript/values_util.h"

ValueMetaClass Color_class(L"Color");
ValueMetaClass Point2Value_class(L"Point2");

namespace {

using maxhost::mxs::format_component;

bool is_prop(Value* p, const wchar_t* a, const wchar_t* b) {
  return p == Name::intern(a) || p == Name::intern(b);
}

struct Hsv {
  float h, s, v;  // each 0 to 255
};

Hsv to_hsv(float r, float g, float b) {
  const float mx = std::max({r, g, b}), mn = std::min({r, g, b});
  const float d = mx - mn;
  Hsv out{0.f, mx > 0.f ? d / mx * 255.f : 0.f, mx};
  if (d > 0.f) {
    float h = mx == r ? (g - b) / d : mx == g ? 2.f + (b - r) / d : 4.f + (r - g) / d;
    if (h < 0.f) h += 6.f;
    out.h = h / 6.f * 255.f;
  }
  return out;
}

void from_hsv(const Hsv& c, float& r, float& g, float& b) {
  const float s = c.s / 255.f, v = c.v;
  const float h = std::fmod(std::max(c.h, 0.f) / 255.f * 6.f, 6.f);
  const int sector = static_cast<int>(h);
  const float f = h - static_cast<float>(sector);
  const float p = v * (1 - s), q = v * (1 - s * f), t = v * (1 - s * (1 - f));
  const float table[6][3] = {{v, t, p}, {q, v, p}, {p, v, t}, {p, q, v}, {t, p, v}, {v, p, q}};
  r = table[sector][0];
  g = table[sector][1];
  b = table[sector][2];
}

}  // namespace

// ---- Color -------------------------------------------------------------------------

ColorValue::ColorValue(float pr, float pg, float pb, float pa) : r(pr), g(pg), b(pb), a(pa) {
  tag = &Color_class;
}

void ColorValue::sprin1(CharStream* s) {
  std::wstring t =
      L"(color " + format_component(r) + L" " + format_component(g) + L" " + format_component(b);
  if (a != 255.f) t += L" " + format_component(a);
  s->puts((t + L")").c_str());
}

bool ColorValue::equals(Value* other) {
  if (!is_color(other)) return false;
  auto* c = static_cast<ColorValue*>(other);
  return c->r == r && c->g == g && c->b == b && c->a == a;
}

Value* ColorValue::coerce(ValueMetaClass* target) {
  if (target == &Point3Value_class) return new Point3Value(r, g, b);
  return Value::coerce(target);
}

Value* ColorValue::get_property(Value** arg_list, int count) {
  Value* p = arg_list[0];
  if (is_prop(p, L"r", L"red")) return new Float(r);
  if (is_prop(p, L"g", L"green")) return new Float(g);
  if (is_prop(p, L"b", L"blue")) return new Float(b);
  if (is_prop(p, L"a", L"alpha")) return new Float(a);
  const Hsv hsv = to_hsv(r, g, b);
  if (is_prop(p, L"h", L"hue")) return new Float(hsv.h);
  if (is_prop(p, L"s", L"saturation")) return new Float(hsv.s);
  if (is_prop(p, L"v", L"value")) return new Float(hsv.v);
  return Value::get_property(arg_list, count);
}

Value* ColorValue::set_property(Value** arg_list, int count) {
  Value* p = arg_list[1];
  if (constant) throw RuntimeError(L"Cannot change the predefined colour: ", this);
  if (!is_number(arg_list[0])) throw ConversionError(arg_list[0], L"Float");
  const float v = arg_list[0]->to_float();
  Hsv hsv = to_hsv(r, g, b);
  if (is_prop(p, L"r", L"red"))
    r = v;
  else if (is_prop(p, L"g", L"green"))
    g = v;
  else if (is_prop(p, L"b", L"blue"))
    b = v;
  else if (is_prop(p, L"a", L"alpha"))
    a = v;
  else if (is_prop(p, L"h", L"hue") || is_prop(p, L"s", L"saturation") ||
           is_prop(p, L"v", L"value")) {
    (is_prop(p, L"h", L"hue") ? hsv.h : is_prop(p, L"s", L"saturation") ? hsv.s : hsv.v) = v;
    from_hsv(hsv, r, g, b);
  } else {
    return Value::set_property(arg_list, count);
  }
  return arg_list[0];
}

// ---- Point2 ------------------------------------------------------------------------

Point2Value::Point2Value(float px, float py) : x(px), y(py) {
  tag = &Point2Value_class;
}

void Point2Value::sprin1(CharStream* s) {
  s->puts((L"[" + format_component(x) + L"," + format_component(y) + L"]").c_str());
}

bool Point2Value::equals(Value* other) {
  if (!is_kind(other, Point2Value)) return false;
  auto* p = static_cast<Point2Value*>(other);
  return p->x == x && p->y == y;
}

Value* Point2Value::coerce(ValueMetaClass* target) {
  if (target == &Point3Value_class) return new Point3Value(x, y, 0.f);
  return Value::coerce(target);
}

Value* Point2Value::get_property(Value** arg_list, int count) {
  Value* p = arg_list[0];
  if (p == Name::intern(L"x")) return new Float(x);
  if (p == Name::intern(L"y")) return new Float(y);
  return Value::get_property(arg_list, count);
}

Value* Point2Value::set_property(Value** arg_list, int count) {
  Value* p = arg_list[1];
  if (!is_number(arg_list[0])) throw ConversionError(arg_list[0], L"Float");
  if (p == Name::intern(L"x"))
    x = arg_list[0]->to_float();
  else if (p == Name::intern(L"y"))
    y = arg_list[0]->to_float();
  else
    return Value::set_property(arg_list, count);
  return arg_list[0];
}

namespace maxhost::mxs {
namespace {

float channel_op(wchar_t op, float x, float y, bool scaled) {
  // Colour by colour multiplies and divides the channels as fractions of 255.
  switch (op) {
    case L'+':
      return x + y;
    case L'-':
      return x - y;
    case L'*':
      return scaled ? x * y / 255.f : x * y;
    case L'/':
      return scaled ? x / y * 255.f : x / y;
    default:
      return std::pow(x, y);
  }
}

ColorValue* as_color_operand(Value* v) {
  if (is_color(v)) return static_cast<ColorValue*>(v);
  if (is_kind(v, Point3Value)) return static_cast<ColorValue*>(v->coerce(&Color_class));
  return nullptr;
}

}  // namespace

Value* color_arithmetic(wchar_t op, Value* a, Value* b) {
  auto* c = static_cast<ColorValue*>(a);
  if (op == L'^') throw NoMethodError(L"^", a);
  if (is_number(b)) {
    const float f = b->to_float();
    return new ColorValue(channel_op(op, c->r, f, false), channel_op(op, c->g, f, false),
                          channel_op(op, c->b, f, false), channel_op(op, c->a, f, false));
  }
  TempRoots roots;
  ColorValue* d = as_color_operand(b);
  if (d == nullptr) throw ConversionError(b, L"Color");
  roots.add(d);
  return new ColorValue(channel_op(op, c->r, d->r, true), channel_op(op, c->g, d->g, true),
                        channel_op(op, c->b, d->b, true), channel_op(op, c->a, d->a, true));
}

Value* point2_arithmetic(wchar_t op, Value* a, Value* b) {
  auto* p = static_cast<Point2Value*>(a);
  if (op == L'^') throw NoMethodError(L"^", a);
  if (is_kind(b, Point2Value)) {
    auto* q = static_cast<Point2Value*>(b);
    return new Point2Value(channel_op(op, p->x, q->x, false), channel_op(op, p->y, q->y, false));
  }
  if (is_number(b) && (op == L'*' || op == L'/')) {
    const float f = b->to_float();
    return new Point2Value(channel_op(op, p->x, f, false), channel_op(op, p->y, f, false));
  }
  throw ConversionError(b, L"Point2");
}

namespace {

float component(Value* v) {
  return static_cast<float>(need_number(v));
}

Value* fn_color(Value** a, int n) {
  const int npos = positional_arg_count(a, n);
  if (npos != 3 && npos != 4) throw ArgCountError(L"color", 3, npos);
  return new ColorValue(component(a[0]), component(a[1]), component(a[2]),
                        npos == 4 ? component(a[3]) : 255.f);
}

Value* fn_point2(Value** a, int n) {
  need_args(L"point2", a, n, 2);
  return new Point2Value(component(a[0]), component(a[1]));
}

Value* fn_point3(Value** a, int n) {
  need_args(L"point3", a, n, 3);
  return new Point3Value(component(a[0]), component(a[1]), component(a[2]));
}

Point3Value* need_point3(const wchar_t* fn, Value* v) {
  if (!is_kind(v, Point3Value))
    throw RuntimeError((std::wstring(fn) + L" needs a Point3, got: ").c_str(), v);
  return static_cast<Point3Value*>(v);
}

double magnitude(const wchar_t* fn, Value* v) {
  if (is_kind(v, Point2Value)) {
    auto* p = static_cast<Point2Value*>(v);
    return std::hypot(static_cast<double>(p->x), static_cast<double>(p->y));
  }
  Point3Value* p = need_point3(fn, v);
  return std::sqrt(static_cast<double>(p->x) * p->x + static_cast<double>(p->y) * p->y +
                   static_cast<double>(p->z) * p->z);
}

Value* fn_length(Value** a, int n) {
  need_args(L"length", a, n, 1);
  return make_float(magnitude(L"length", a[0]));
}

Value* fn_normalize(Value** a, int n) {
  need_args(L"normalize", a, n, 1);
  const double len = magnitude(L"normalize", a[0]);
  const float k = len > 0 ? static_cast<float>(1.0 / len) : 0.f;
  if (is_kind(a[0], Point2Value)) {
    auto* p = static_cast<Point2Value*>(a[0]);
    return new Point2Value(p->x * k, p->y * k);
  }
  auto* p = static_cast<Point3Value*>(a[0]);
  return new Point3Value(p->x * k, p->y * k, p->z * k);
}

Value* fn_dot(Value** a, int n) {
  need_args(L"dot", a, n, 2);
  Point3Value* p = need_point3(L"dot", a[0]);
  Point3Value* q = need_point3(L"dot", a[1]);
  return make_float(static_cast<double>(p->x) * q->x + static_cast<double>(p->y) * q->y +
                    static_cast<double>(p->z) * q->z);
}

Value* fn_cross(Value** a, int n) {
  need_args(L"cross", a, n, 2);
  Point3Value* p = need_point3(L"cross", a[0]);
  Point3Value* q = need_point3(L"cross", a[1]);
  return new Point3Value(p->y * q->z - p->z * q->y, p->z * q->x - p->x * q->z,
                         p->x * q->y - p->y * q->x);
}

Value* fn_distance(Value** a, int n) {
  need_args(L"distance", a, n, 2);
  if (a[0]->tag != a[1]->tag) throw ConversionError(a[1], a[0]->tag->name);
  TempRoots roots;
  Value* diff = roots.add(binary_op(L"-", a[0], a[1]));
  return make_float(magnitude(L"distance", diff));
}

const BuiltinEntry kPointsLibrary[] = {
    {L"length", fn_length}, {L"normalize", fn_normalize}, {L"dot", fn_dot},
    {L"cross", fn_cross},   {L"distance", fn_distance},
};

}  // namespace

void register_value_globals() {
  Color_class.construct = fn_color;
  Point2Value_class.construct = fn_point2;
  Point3Value_class.construct = fn_point3;
  BitArray_class.construct = [](Value** a, int n) -> Value* {
    need_args(L"bitArray", a, n, 0);
    return new BitArrayValue();
  };
  for (ValueMetaClass* c : {&Color_class, &Point2Value_class, &BitArray_class})
    define_global(FoldCase(c->name), c, true);
  struct Named {
    const wchar_t* name;
    float r, g, b;
  };
  // The host's predefined colours.
  static const Named kColors[] = {
      {L"red", 255, 0, 0},       {L"green", 0, 255, 0},    {L"blue", 0, 0, 255},
      {L"white", 255, 255, 255}, {L"black", 0, 0, 0},      {L"gray", 128, 128, 128},
      {L"yellow", 255, 255, 0},  {L"orange", 255, 128, 0}, {L"brown", 128, 64, 0},
  };
  for (const Named& c : kColors) {
    auto* v = new ColorValue(c.r, c.g, c.b);
    v->constant = true;
    v->make_heap_permanent();
    define_global(c.name, v, true);
  }
  register_library(kPointsLibrary);
}

}  // namespace maxhost::mxs
