// The `bit` interface: 32-bit integer operations (bit.and, bit.shift, ...), bit positions
// counted from 1, reached as properties of one global as the host's core interfaces are.
#include <cstdint>
#include <cstdio>
#include <utility>
#include <vector>

#include "base/text.h"
#include "maxscript/engine.h"
#include "maxscript/lib_common.h"

namespace maxhost::mxs {
namespace {

ValueMetaClass Interface_class(L"Interface");

// A global whose properties are functions.
class FunctionInterface : public Value {
 public:
  FunctionInterface(std::wstring n, std::span<const BuiltinEntry> table) : name(std::move(n)) {
    tag = &Interface_class;
    for (const BuiltinEntry& e : table)
      functions.emplace_back(e.name, new Primitive((name + L"." + e.name).c_str(), e.fn));
  }
  void sprin1(CharStream* s) override { s->puts((L"<Interface:" + name + L">").c_str()); }
  Value* get_property(Value** args, int) override {
    for (auto& [fn, p] : functions)
      if (EqualsNoCase(fn, args[0]->to_string())) return p;
    throw AccessorError(this, args[0]);
  }
  void gc_trace() override {
    for (auto& entry : functions) gc_mark(entry.second);
  }

 private:
  std::wstring name;
  std::vector<std::pair<std::wstring, Primitive*>> functions;
};

// An integer argument of a bit function, checked.
std::uint32_t bit_arg(const wchar_t* fn, Value** a, int i) {
  if (!is_number(a[i]))
    throw TypeError((std::wstring(fn) + L" needs an integer, got: ").c_str(), a[i]);
  return static_cast<std::uint32_t>(a[i]->to_int());
}

Value* int_result(std::uint32_t x) {
  return Integer::intern(static_cast<int>(x));
}

Value* fn_and(Value** a, int n) {
  need_args(L"bit.and", a, n, 2);
  return int_result(bit_arg(L"bit.and", a, 0) & bit_arg(L"bit.and", a, 1));
}

Value* fn_or(Value** a, int n) {
  need_args(L"bit.or", a, n, 2);
  return int_result(bit_arg(L"bit.or", a, 0) | bit_arg(L"bit.or", a, 1));
}

Value* fn_xor(Value** a, int n) {
  need_args(L"bit.xor", a, n, 2);
  return int_result(bit_arg(L"bit.xor", a, 0) ^ bit_arg(L"bit.xor", a, 1));
}

Value* fn_not(Value** a, int n) {
  need_args(L"bit.not", a, n, 1);
  return int_result(~bit_arg(L"bit.not", a, 0));
}

// Positive counts shift left, negative right (logical); 32 or more clears every bit.
Value* fn_shift(Value** a, int n) {
  need_args(L"bit.shift", a, n, 2);
  const std::uint32_t x = bit_arg(L"bit.shift", a, 0);
  const int by = static_cast<int>(bit_arg(L"bit.shift", a, 1));
  return int_result(by >= 32 || by <= -32 ? 0u : by >= 0 ? x << by : x >> -by);
}

Value* fn_get(Value** a, int n) {
  need_args(L"bit.get", a, n, 2);
  const int pos = static_cast<int>(bit_arg(L"bit.get", a, 1));
  if (pos < 1 || pos > 32) return &false_value;
  return bool_result((bit_arg(L"bit.get", a, 0) >> (pos - 1)) & 1u);
}

Value* fn_set(Value** a, int n) {
  need_args(L"bit.set", a, n, 3);
  std::uint32_t x = bit_arg(L"bit.set", a, 0);
  const int pos = static_cast<int>(bit_arg(L"bit.set", a, 1));
  if (pos >= 1 && pos <= 32) {
    const std::uint32_t mask = 1u << (pos - 1);
    x = a[2]->to_bool() ? (x | mask) : (x & ~mask);
  }
  return int_result(x);
}

Value* fn_int_as_hex(Value** a, int n) {
  need_args(L"bit.intAsHex", a, n, 1);
  wchar_t text[16];
  std::swprintf(text, 16, L"%x", static_cast<unsigned>(bit_arg(L"bit.intAsHex", a, 0)));
  return new String(text);
}

}  // namespace

static const BuiltinEntry kBitLibrary[] = {
    {L"and", fn_and},     {L"or", fn_or},   {L"xor", fn_xor}, {L"not", fn_not},
    {L"shift", fn_shift}, {L"get", fn_get}, {L"set", fn_set}, {L"intAsHex", fn_int_as_hex},
};

void register_bit_interface() {
  define_global(L"bit", new FunctionInterface(L"bit", kBitLibrary), true);
}

}  // namespace maxhost::mxs
