#include "maxscript/ops.h"

#include <cmath>
#include <cstdint>

#include "maxscript/arithmetic.h"
#include "maxscript/heap.h"
#include "maxscript/run_guard.h"
#include "maxscript/value_numbers.h"
#include "maxscript/values_util.h"

namespace maxhost::mxs {
namespace {

const wchar_t* type_name(Value* v) {
  return is_integer(v) ? L"Integer" : is_float(v) ? L"Float" : v->tag->name;
}

Value* arithmetic(wchar_t op, Value* a, Value* b) {
  if (is_wide_operand(a) || (is_wide_operand(b) && is_any_number(a)))
    return wide_arithmetic(op, a, b);
  if (is_number(a)) {
    if (!is_number(b)) {
      if ((is_kind(b, Point3Value) || is_kind(b, Point2Value)) && op == L'*')
        return arithmetic(op, b, a);
      if (is_color(b) && (op == L'*' || op == L'+')) return color_arithmetic(op, b, a);
      throw ConversionError(b, type_name(a));
    }
    if (is_integer(a) && is_integer(b) && !(op == L'^' && b->to_int() < 0))
      return Integer::intern(integer_op<int>(op, a->to_int(), b->to_int()));
    return new Float(real_op<float>(op, a->to_float(), b->to_float()));
  }
  if (is_string(a) && op == L'+') {
    if (!is_string(b)) throw ConversionError(b, L"String");
    const std::wstring& x = static_cast<String*>(a)->string;
    const std::wstring& y = static_cast<String*>(b)->string;
    reserve_heap((x.size() + y.size() + 1) * sizeof(wchar_t));
    std::wstring joined;
    joined.reserve(x.size() + y.size());
    joined.append(x).append(y);
    return new String(std::move(joined));
  }
  if (is_color(a)) return color_arithmetic(op, a, b);
  if (is_bitarray(a)) return bitarray_op(op, a, b);
  if (is_kind(a, Point2Value)) return point2_arithmetic(op, a, b);
  if (is_kind(a, Point3Value)) {
    auto* p = static_cast<Point3Value*>(a);
    if (is_kind(b, Point3Value) && (op == L'+' || op == L'-' || op == L'*' || op == L'/')) {
      auto* q = static_cast<Point3Value*>(b);
      return new Point3Value(real_op<float>(op, p->x, q->x), real_op<float>(op, p->y, q->y),
                             real_op<float>(op, p->z, q->z));
    }
    if (is_number(b) && (op == L'*' || op == L'/')) {
      float f = b->to_float();
      return new Point3Value(real_op<float>(op, p->x, f), real_op<float>(op, p->y, f),
                             real_op<float>(op, p->z, f));
    }
    throw ConversionError(b, L"Point3");
  }
  throw NoMethodError(std::wstring(1, op).c_str(), a);
}

int compare_or_throw(const std::wstring& op, Value* a, Value* b) {
  if (is_wide_operand(a) || (is_wide_operand(b) && is_any_number(a))) return wide_compare(op, a, b);
  if (is_number(a)) {
    if (!is_number(b)) throw ConversionError(b, type_name(a));
    if (is_integer(a) && is_integer(b)) {
      int x = a->to_int(), y = b->to_int();
      return x < y ? -1 : x > y ? 1 : 0;
    }
    double x = a->to_double(), y = b->to_double();
    return x < y ? -1 : x > y ? 1 : 0;
  }
  if (is_string(a) || is_name(a)) {
    if (!is_string(b) && !is_name(b)) throw ConversionError(b, type_name(a));
    auto text = [](Value* v) -> std::wstring {
      return is_string(v) ? static_cast<String*>(v)->string : static_cast<Name*>(v)->string;
    };
    int c = text(a).compare(text(b));
    return c < 0 ? -1 : c > 0 ? 1 : 0;
  }
  throw NoMethodError(op.c_str(), a);
}

// Raised for the host's map function by name, so its message has plain quotes.
MAXScriptException no_map_function(Value* v) {
  return MAXScriptException(L"No \"map\" function for " + printed(v));
}

}  // namespace

bool values_equal(Value* a, Value* b) {
  if (a == b) return true;
  return a->equals(b) || (a->tag != b->tag && b->equals(a));
}

int compare_values(Value* a, Value* b) {
  return compare_or_throw(L"<", a, b);
}

Value* binary_op(const std::wstring& op, Value* a, Value* b) {
  if (op == L"==") return bool_result(values_equal(a, b));
  if (op == L"!=") return bool_result(!values_equal(a, b));
  if (op.size() == 1 && op != L"<" && op != L">") return arithmetic(op[0], a, b);
  int c = compare_or_throw(op, a, b);
  if (op == L"<") return bool_result(c < 0);
  if (op == L"<=") return bool_result(c <= 0);
  if (op == L">") return bool_result(c > 0);
  return bool_result(c >= 0);
}

Value* negate_value(Value* v) {
  if (is_wide_operand(v)) return wide_negate(v);
  if (is_integer(v))
    return Integer::intern(static_cast<int>(0u - static_cast<unsigned>(v->to_int())));
  if (is_float(v)) return new Float(-v->to_float());
  if (is_kind(v, Point3Value)) {
    auto* p = static_cast<Point3Value*>(v);
    return new Point3Value(-p->x, -p->y, -p->z);
  }
  if (is_bitarray(v)) return bitarray_invert(v);
  if (is_color(v)) {
    auto* c = static_cast<ColorValue*>(v);
    return new ColorValue(-c->r, -c->g, -c->b, -c->a);
  }
  if (is_kind(v, Point2Value)) {
    auto* p = static_cast<Point2Value*>(v);
    return new Point2Value(-p->x, -p->y);
  }
  throw NoMethodError(L"-", v);
}

Array* iterable_items(Value* v) {
  if (is_array(v)) return static_cast<Array*>(v);
  if (Value* items = v->iterate_items()) {
    if (is_array(items)) return static_cast<Array*>(items);
  }
  Value* count_name = Name::intern(L"count");
  Value* n = nullptr;
  try {
    n = v->get_property(&count_name, 1);
  } catch (MAXScriptException&) {
    throw no_map_function(v);
  }
  if (!is_number(n)) throw no_map_function(v);
  TempRoots roots;
  auto* out = new Array(0);
  roots.add(out);
  for (int i = 1; i <= n->to_int(); ++i) {
    check_run();
    Value* idx = Integer::intern(i);
    out->append(v->get_vf(&idx, 1));
  }
  return out;
}

}  // namespace maxhost::mxs
