#include "maxscript/value_numbers.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cwchar>
#include <limits>

#include "maxscript/arithmetic.h"
#include "maxscript/engine.h"
#include "maxscript/values_util.h"

namespace maxhost::mxs {

ValueMetaClass Integer64_class(L"Integer64", &Number_class);
ValueMetaClass Double_class(L"Double", &Number_class);
ValueMetaClass Time_class(L"Time");

namespace {

// Ranks of the number classes: an operation takes the wider operand's class.
enum Rank { kInteger, kInteger64, kFloat, kDouble, kNotNumber };

Rank rank_of(Value* v) {
  if (is_integer(v)) return kInteger;
  if (is_kind(v, Integer64)) return kInteger64;
  if (is_float(v)) return kFloat;
  if (is_kind(v, Double)) return kDouble;
  return kNotNumber;
}

std::int64_t as_int64(Value* v) {
  if (is_kind(v, Integer64)) return static_cast<Integer64Value*>(v)->value;
  return v->to_int();
}

// Truncates toward zero; NaN and values beyond the range give 0, as Float's to_int does.
std::int64_t truncate_int64(double d) {
  if (!std::isfinite(d) || std::fabs(d) >= 9.2233720368547758e18) return 0;
  return static_cast<std::int64_t>(d);
}

const wchar_t* class_name(Value* v) {
  return v->tag != nullptr ? v->tag->name : L"Value";
}

Value* number_arithmetic(wchar_t op, Value* a, Value* b) {
  const Rank ra = rank_of(a), rb = rank_of(b);
  if (rb == kNotNumber) throw ConversionError(b, class_name(a));
  const Rank r = ra > rb ? ra : rb;
  if (r == kDouble) return new DoubleValue(real_op<double>(op, a->to_double(), b->to_double()));
  if (r == kFloat)
    return new Float(static_cast<float>(real_op<double>(op, a->to_float(), b->to_float())));
  if (op == L'^' && as_int64(b) < 0)
    return new Float(static_cast<float>(std::pow(a->to_double(), b->to_double())));
  return new Integer64Value(integer_op<std::int64_t>(op, as_int64(a), as_int64(b)));
}

TimeValue* time_of(Value* v) {
  return is_kind(v, Time) ? static_cast<TimeValue*>(v) : nullptr;
}

// Time + - Time, Time + - * / number, number + - * Time.
Value* time_arithmetic(wchar_t op, Value* a, Value* b) {
  TimeValue* ta = time_of(a);
  TimeValue* tb = time_of(b);
  if ((ta == nullptr && !is_any_number(a)) || (tb == nullptr && !is_any_number(b)))
    throw ConversionError(ta != nullptr ? b : a, L"Time");
  const double fa = ta ? ta->frames() : a->to_double();
  const double fb = tb ? tb->frames() : b->to_double();
  switch (op) {
    case L'+':
    case L'-':
      if (ta && tb) return new TimeValue(integer_op<std::int64_t>(op, ta->ticks, tb->ticks));
      return TimeValue::from_frames(real_op<double>(op, fa, fb));
    case L'*':
      if (ta && tb) break;
      return TimeValue::from_frames(fa * fb);
    case L'/':
      if (!ta || tb) break;
      if (fb == 0) throw RuntimeError(L"Divide by zero", static_cast<Value*>(nullptr));
      return TimeValue::from_frames(fa / fb);
    default:
      break;
  }
  throw NoMethodError(std::wstring(1, op).c_str(), a);
}

std::wstring trimmed_decimal(double d, int precision) {
  wchar_t buf[64];
  std::swprintf(buf, 64, L"%.*g", precision, d);
  return buf;
}

}  // namespace

bool is_any_number(Value* v) {
  return rank_of(v) != kNotNumber;
}

bool is_wide_operand(Value* v) {
  return is_kind(v, Integer64) || is_kind(v, Double) || is_kind(v, Time);
}

Value* wide_arithmetic(wchar_t op, Value* a, Value* b) {
  if (time_of(a) != nullptr || time_of(b) != nullptr) return time_arithmetic(op, a, b);
  return number_arithmetic(op, a, b);
}

int wide_compare(const std::wstring&, Value* a, Value* b) {
  TimeValue* ta = time_of(a);
  TimeValue* tb = time_of(b);
  if (ta != nullptr || tb != nullptr) {
    if ((ta == nullptr && !is_any_number(a)) || (tb == nullptr && !is_any_number(b)))
      throw ConversionError(ta != nullptr ? b : a, L"Time");
    const double x = ta ? static_cast<double>(ta->ticks) : a->to_double() * 160.0;
    const double y = tb ? static_cast<double>(tb->ticks) : b->to_double() * 160.0;
    return x < y ? -1 : x > y ? 1 : 0;
  }
  if (!is_any_number(b)) throw ConversionError(b, class_name(a));
  if (!is_any_number(a)) throw ConversionError(a, class_name(b));
  if (rank_of(a) <= kInteger64 && rank_of(b) <= kInteger64) {
    const std::int64_t x = as_int64(a), y = as_int64(b);
    return x < y ? -1 : x > y ? 1 : 0;
  }
  const double x = a->to_double(), y = b->to_double();
  return x < y ? -1 : x > y ? 1 : 0;
}

Value* wide_negate(Value* v) {
  if (auto* t = time_of(v)) return new TimeValue(integer_op<std::int64_t>(L'-', 0, t->ticks));
  if (is_kind(v, Double)) return new DoubleValue(-static_cast<DoubleValue*>(v)->value);
  return new Integer64Value(
      integer_op<std::int64_t>(L'-', 0, static_cast<Integer64Value*>(v)->value));
}

Value* convert_number(Value* v, ValueMetaClass* target) {
  const bool time = time_of(v) != nullptr;
  if (!time && !is_any_number(v)) return nullptr;
  if (target == &Integer64_class) {
    if (is_kind(v, Integer64)) return v;
    return new Integer64Value(is_integer(v) ? v->to_int() : truncate_int64(v->to_double()));
  }
  if (target == &Double_class) return is_kind(v, Double) ? v : new DoubleValue(v->to_double());
  if (target == &Time_class) return time ? v : TimeValue::from_frames(v->to_double());
  return nullptr;
}

Value* integer64_literal(const std::wstring& text) {
  std::wstring digits = text;
  if (!digits.empty() && (digits.back() == L'L' || digits.back() == L'P')) digits.pop_back();
  errno = 0;
  long long v = std::wcstoll(digits.c_str(), nullptr, 10);
  if (errno == ERANGE) throw RuntimeError(L"Integer64 literal out of range: ", text.c_str());
  return new Integer64Value(v);
}

Value* double_literal(const std::wstring& text) {
  std::wstring digits = text;
  for (wchar_t& c : digits)
    if (c == L'd' || c == L'D') c = L'e';
  return new DoubleValue(std::wcstod(digits.c_str(), nullptr));
}

void register_number_globals() {
  define_global(L"integer64", &Integer64_class, true);
  define_global(L"double", &Double_class, true);
  // Assignable: scripts name their own variables `time`.
  define_global(L"time", &Time_class, false);
}

// ---- Integer64 ----------------------------------------------------------------------

Integer64Value::Integer64Value(std::int64_t v) : value(v) {
  tag = &Integer64_class;
}
void Integer64Value::sprin1(CharStream* s) {
  s->puts((std::to_wstring(value) + L"L").c_str());
}
bool Integer64Value::equals(Value* other) {
  if (!is_any_number(other)) return false;
  if (rank_of(other) <= kInteger64) return as_int64(other) == value;
  return other->to_double() == static_cast<double>(value);
}
Value* Integer64Value::coerce(ValueMetaClass* target) {
  if (target == &Integer64_class || target == &Number_class) return this;
  if (target == &Integer_class) return Integer::intern(to_int());
  if (target == &Float_class) return new Float(to_float());
  if (Value* r = convert_number(this, target)) return r;
  return Value::coerce(target);
}
int Integer64Value::to_int() {
  return static_cast<int>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(value)));
}

// ---- Double ---------------------------------------------------------------------------

DoubleValue::DoubleValue(double v) : value(v) {
  tag = &Double_class;
}
// Up to 15 significant digits with a d exponent: 1.5d0, 0.0012d0, 1.5d20.
void DoubleValue::sprin1(CharStream* s) {
  if (std::isnan(value)) return s->puts(L"nand0");
  if (std::isinf(value)) return s->puts(value > 0 ? L"1e+308d0" : L"-1e+308d0");
  std::wstring t = trimmed_decimal(value, 15);
  std::wstring exponent = L"0";
  const std::size_t e = t.find(L'e');
  if (e != std::wstring::npos) {
    exponent = t.substr(e + 1);
    t.resize(e);
    if (!exponent.empty() && exponent[0] == L'+') exponent.erase(0, 1);
    const bool negative = !exponent.empty() && exponent[0] == L'-';
    std::size_t z = negative ? 1 : 0;
    while (z + 1 < exponent.size() && exponent[z] == L'0') exponent.erase(z, 1);
  }
  if (t.find(L'.') == std::wstring::npos) t += L".0";
  s->puts((t + L"d" + exponent).c_str());
}
bool DoubleValue::equals(Value* other) {
  return is_any_number(other) && other->to_double() == value;
}
Value* DoubleValue::coerce(ValueMetaClass* target) {
  if (target == &Double_class || target == &Number_class) return this;
  if (target == &Integer_class) return Integer::intern(to_int());
  if (target == &Float_class) return new Float(to_float());
  if (Value* r = convert_number(this, target)) return r;
  return Value::coerce(target);
}
int DoubleValue::to_int() {
  if (!std::isfinite(value) || std::fabs(value) >= 2147483648.0) return 0;
  return static_cast<int>(value);
}

// ---- Time -----------------------------------------------------------------------------

TimeValue::TimeValue(std::int64_t t) : ticks(t) {
  tag = &Time_class;
}
TimeValue* TimeValue::from_frames(double frames) {
  const double t = frames * kTicksPerFrame;
  return new TimeValue(std::isfinite(t) && std::fabs(t) < 9.2e18 ? std::llround(t) : 0);
}
// Frames to six significant digits, without a point when whole: 50f, 140.2f, 1.34218e+07f.
void TimeValue::sprin1(CharStream* s) {
  s->puts((trimmed_decimal(frames(), 6) + L"f").c_str());
}
bool TimeValue::equals(Value* other) {
  if (auto* t = time_of(other)) return t->ticks == ticks;
  return false;
}
Value* TimeValue::coerce(ValueMetaClass* target) {
  if (target == &Time_class) return this;
  if (target == &Integer_class) return Integer::intern(to_int());
  if (target == &Float_class || target == &Number_class) return new Float(to_float());
  if (Value* r = convert_number(this, target)) return r;
  return Value::coerce(target);
}
Value* TimeValue::get_property(Value** arg_list, int count) {
  if (arg_list[0] == Name::intern(L"frame")) return new Float(to_float());
  if (arg_list[0] == Name::intern(L"ticks")) {
    if (ticks > INT32_MAX || ticks < INT32_MIN) return new Integer64Value(ticks);
    return Integer::intern(static_cast<int>(ticks));
  }
  return Value::get_property(arg_list, count);
}
int TimeValue::to_int() {
  return static_cast<int>(truncate_int64(frames()));
}

}  // namespace maxhost::mxs
