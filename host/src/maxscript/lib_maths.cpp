// Number built-ins: abs, sqrt, exp, log, log10, floor, ceil, the trigonometric functions
// (degrees, as the host's), pow, mod, and the script's random generator (seed, random).
#include <cmath>
#include <cstdint>
#include <utility>

#include "maxscript/lib_common.h"

namespace maxhost::mxs {
namespace {

// The generator of `random` and `seed`: deterministic for a given seed. One per thread,
// so scripts running at once on several threads never share a state.
struct ScriptRandom {
  std::uint32_t state = 12345;
  std::uint32_t next() {
    state = state * 1664525u + 1013904223u;
    return state >> 8;
  }
};
thread_local ScriptRandom g_random;

Value* math1(Value** a, int n, const wchar_t* name, double (*f)(double)) {
  need_args(name, a, n, 1);
  return make_float(f(need_number(a[0])));
}

Value* fn_abs(Value** a, int n) {
  need_args(L"abs", a, n, 1);
  if (is_integer(a[0])) {
    int v = a[0]->to_int();
    return Integer::intern(v < 0 ? static_cast<int>(0u - static_cast<unsigned>(v)) : v);
  }
  return make_float(std::fabs(need_number(a[0])));
}

Value* fn_sqrt(Value** a, int n) {
  return math1(a, n, L"sqrt", [](double x) { return std::sqrt(x); });
}
Value* fn_exp(Value** a, int n) {
  return math1(a, n, L"exp", [](double x) { return std::exp(x); });
}
Value* fn_log(Value** a, int n) {
  return math1(a, n, L"log", [](double x) { return std::log(x); });
}
Value* fn_log10(Value** a, int n) {
  return math1(a, n, L"log10", [](double x) { return std::log10(x); });
}
Value* fn_floor(Value** a, int n) {
  return math1(a, n, L"floor", [](double x) { return std::floor(x); });
}
Value* fn_ceil(Value** a, int n) {
  return math1(a, n, L"ceil", [](double x) { return std::ceil(x); });
}
Value* fn_sin(Value** a, int n) {
  return math1(a, n, L"sin", [](double x) { return std::sin(x * kPi / 180); });
}
Value* fn_cos(Value** a, int n) {
  return math1(a, n, L"cos", [](double x) { return std::cos(x * kPi / 180); });
}
Value* fn_tan(Value** a, int n) {
  return math1(a, n, L"tan", [](double x) { return std::tan(x * kPi / 180); });
}
Value* fn_asin(Value** a, int n) {
  return math1(a, n, L"asin", [](double x) { return std::asin(x) * 180 / kPi; });
}
Value* fn_acos(Value** a, int n) {
  return math1(a, n, L"acos", [](double x) { return std::acos(x) * 180 / kPi; });
}
Value* fn_atan(Value** a, int n) {
  return math1(a, n, L"atan", [](double x) { return std::atan(x) * 180 / kPi; });
}

Value* fn_atan2(Value** a, int n) {
  need_args(L"atan2", a, n, 2);
  return make_float(std::atan2(need_number(a[0]), need_number(a[1])) * 180 / kPi);
}

Value* fn_pow(Value** a, int n) {
  need_args(L"pow", a, n, 2);
  return make_float(std::pow(need_number(a[0]), need_number(a[1])));
}

Value* fn_mod(Value** a, int n) {
  need_args(L"mod", a, n, 2);
  return make_float(std::fmod(need_number(a[0]), need_number(a[1])));
}

Value* fn_seed(Value** a, int n) {
  need_args(L"seed", a, n, 1);
  g_random.state = static_cast<std::uint32_t>(need_int(a[0]));
  return &ok;
}

// Integers between two integers (inclusive), else a float between the two numbers.
Value* fn_random(Value** a, int n) {
  need_args(L"random", a, n, 2);
  if (is_integer(a[0]) && is_integer(a[1])) {
    long long lo = a[0]->to_int(), hi = a[1]->to_int();
    if (lo > hi) std::swap(lo, hi);
    return Integer::intern(static_cast<int>(
        lo + static_cast<long long>(g_random.next() % static_cast<std::uint32_t>(hi - lo + 1))));
  }
  double lo = need_number(a[0]), hi = need_number(a[1]);
  return make_float(lo + (hi - lo) * (g_random.next() / 16777215.0));
}

}  // namespace

static const BuiltinEntry kMathsLibrary[] = {
    {L"abs", fn_abs},     {L"sqrt", fn_sqrt},     {L"exp", fn_exp},   {L"log", fn_log},
    {L"log10", fn_log10}, {L"floor", fn_floor},   {L"ceil", fn_ceil}, {L"sin", fn_sin},
    {L"cos", fn_cos},     {L"tan", fn_tan},       {L"asin", fn_asin}, {L"acos", fn_acos},
    {L"atan", fn_atan},   {L"atan2", fn_atan2},   {L"pow", fn_pow},   {L"mod", fn_mod},
    {L"seed", fn_seed},   {L"random", fn_random},
};

std::span<const BuiltinEntry> maths_library() {
  return kMathsLibrary;
}

}  // namespace maxhost::mxs
