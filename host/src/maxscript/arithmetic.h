// The four operations and ^ as scripts compute them on one number class: integers wrap on
// overflow, divide by zero is an error and the one overflowing division gives its dividend;
// ^ takes a non-negative exponent (a negative one gives 1).
#pragma once

#include <cmath>
#include <limits>
#include <type_traits>

#include "maxscript/maxscript.h"

namespace maxhost::mxs {

template <typename Int>
Int integer_op(wchar_t op, Int a, Int b) {
  using Unsigned = std::make_unsigned_t<Int>;
  auto ua = static_cast<Unsigned>(a), ub = static_cast<Unsigned>(b);
  switch (op) {
    case L'+':
      return static_cast<Int>(ua + ub);
    case L'-':
      return static_cast<Int>(ua - ub);
    case L'*':
      return static_cast<Int>(ua * ub);
    case L'/':
      if (b == 0) throw RuntimeError(L"Divide by zero", static_cast<Value*>(nullptr));
      if (a == std::numeric_limits<Int>::min() && b == -1) return a;
      return a / b;
    default: {
      Unsigned r = 1, base = ua;
      for (Int e = b; e > 0; e >>= 1) {
        if (e & 1) r *= base;
        base *= base;
      }
      return static_cast<Int>(r);
    }
  }
}

template <typename Real>
Real real_op(wchar_t op, Real a, Real b) {
  switch (op) {
    case L'+':
      return a + b;
    case L'-':
      return a - b;
    case L'*':
      return a * b;
    case L'/':
      return a / b;
    default:
      return std::pow(a, b);
  }
}

}  // namespace maxhost::mxs
