// BitArray values, their set operators and the conversions to and from arrays.
#include <algorithm>
#include <string>

#include "base/text.h"
#include "maxscript/engine.h"
#include "maxscript/heap.h"
#include "maxscript/lib_common.h"
#include "maxscript/ops.h"

ValueMetaClass BitArray_class(L"BitArray");

namespace {

// Largest index a script may set: keeps a typo such as b[1e9] from taking the heap.
constexpr int kMaxBits = 1 << 26;

int need_index(Value* v) {
  if (!is_number(v)) throw ConversionError(v, L"Integer");
  const double d = v->to_double();
  if (!(d >= 1 && d <= kMaxBits)) throw RuntimeError(L"BitArray index out of range: ", v);
  return static_cast<int>(d);
}

}  // namespace

void BitArrayValue::sprin1(CharStream* s) {
  std::wstring t = L"#{";
  bool first = true;
  const int n = static_cast<int>(bits.size());
  for (int i = 0; i < n; ++i) {
    if (!bits[i]) continue;
    int j = i;
    while (j + 1 < n && bits[j + 1]) ++j;
    t += first ? L"" : L", ";
    t += std::to_wstring(i + 1);
    if (j > i) t += L".." + std::to_wstring(j + 1);
    first = false;
    i = j;
  }
  s->puts((t + L"}").c_str());
}

int BitArrayValue::number_set() const {
  return static_cast<int>(std::count(bits.begin(), bits.end(), true));
}

bool BitArrayValue::equals(Value* other) {
  if (!is_bitarray(other)) return false;
  const auto& o = static_cast<BitArrayValue*>(other)->bits;
  const std::size_t n = std::max(o.size(), bits.size());
  for (std::size_t i = 0; i < n; ++i)
    if ((i < bits.size() && bits[i]) != (i < o.size() && o[i])) return false;
  return true;
}

Value* BitArrayValue::coerce(ValueMetaClass* target) {
  if (target == &BitArray_class) return this;
  if (target == &Array_class) return iterate_items();
  return Value::coerce(target);
}

Value* BitArrayValue::get_property(Value** arg_list, int count) {
  Value* p = arg_list[0];
  if (p == Name::intern(L"count")) return Integer::intern(static_cast<int>(bits.size()));
  if (p == Name::intern(L"numberSet")) return Integer::intern(number_set());
  if (p == Name::intern(L"isEmpty")) return bool_result(number_set() == 0);
  return Value::get_property(arg_list, count);
}

Value* BitArrayValue::set_property(Value** arg_list, int count) {
  if (arg_list[1] != Name::intern(L"count")) return Value::set_property(arg_list, count);
  const int n =
      is_number(arg_list[0]) && arg_list[0]->to_double() == 0 ? 0 : need_index(arg_list[0]);
  maxhost::mxs::reserve_heap(static_cast<std::size_t>(n) / 8);
  bits.resize(static_cast<std::size_t>(n), false);
  return arg_list[0];
}

Value* BitArrayValue::get_vf(Value** arg_list, int) {
  const int i = need_index(arg_list[0]);
  return bool_result(i <= static_cast<int>(bits.size()) && bits[static_cast<std::size_t>(i - 1)]);
}

Value* BitArrayValue::put_vf(Value** arg_list, int) {
  const int i = need_index(arg_list[0]);
  if (!is_bool(arg_list[1])) throw ConversionError(arg_list[1], L"BooleanClass");
  if (i > static_cast<int>(bits.size())) {
    maxhost::mxs::reserve_heap(static_cast<std::size_t>(i) / 8);
    bits.resize(static_cast<std::size_t>(i), false);
  }
  bits[static_cast<std::size_t>(i - 1)] = arg_list[1] == &true_value;
  return arg_list[1];
}

Value* BitArrayValue::iterate_items() {
  maxhost::mxs::TempRoots roots;
  auto* out = new Array(number_set());
  roots.add(out);
  for (std::size_t i = 0; i < bits.size(); ++i)
    if (bits[i]) out->append(Integer::intern(static_cast<int>(i + 1)));
  return out;
}

namespace maxhost::mxs {

Value* bitarray_from_array(Array* a) {
  TempRoots roots;
  auto* b = new BitArrayValue();
  roots.add(b);
  for (Value* v : a->data) {
    Value* args[2] = {v, &true_value};
    b->put_vf(args, 2);
  }
  return b;
}

Value* bitarray_op(wchar_t op, Value* a, Value* b) {
  if (!is_bitarray(b)) throw ConversionError(b, L"BitArray");
  if (op != L'+' && op != L'-' && op != L'*') throw NoMethodError(std::wstring(1, op).c_str(), a);
  const auto& x = static_cast<BitArrayValue*>(a)->bits;
  const auto& y = static_cast<BitArrayValue*>(b)->bits;
  auto* out = new BitArrayValue();
  out->bits.resize(std::max(x.size(), y.size()), false);
  for (std::size_t i = 0; i < out->bits.size(); ++i) {
    const bool p = i < x.size() && x[i], q = i < y.size() && y[i];
    out->bits[i] = op == L'+' ? (p || q) : op == L'*' ? (p && q) : (p && !q);
  }
  return out;
}

Value* bitarray_invert(Value* a) {
  auto* out = new BitArrayValue();
  out->bits = static_cast<BitArrayValue*>(a)->bits;
  out->bits.flip();
  return out;
}

}  // namespace maxhost::mxs
