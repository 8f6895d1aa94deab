// Output built-ins: print, format (to the listener or into a StringStream) and
// formattedPrint, and the `options` global that controls how much of an array prints.
#include <cstdio>
#include <vector>

#include "maxscript/engine.h"
#include "maxscript/heap.h"
#include "maxscript/lib_common.h"
#include "maxscript/values_util.h"

namespace maxhost::mxs {

ValueMetaClass StringStream_class(L"StringStream");

namespace {

// `stringStream ""`: text that format writes into with to:.
class StringStreamValue : public Value {
 public:
  std::wstring text;
  explicit StringStreamValue(std::wstring t) : text(std::move(t)) { tag = &StringStream_class; }
  void sprin1(CharStream* s) override {
    s->puts(L"StringStream:");
    String tmp(text);
    tmp.sprin1(s);
  }
  void sprint(CharStream* s) override { s->puts(text.c_str()); }
};

// Each % of the format takes the next argument's print form; extra % stay as they are.
std::wstring format_text(const std::wstring& fmt, Value** args, int n) {
  std::wstring out;
  int next = 1;
  for (wchar_t c : fmt) {
    if (c == L'%' && next < n)
      out += sprinted(args[next++]);
    else
      out += c;
  }
  return out;
}

// Text for the listener, or for a StringStream given as to:.
void emit(Value* to, const std::wstring& text) {
  if (to == &unsupplied || to == &undefined) return write_output(text);
  if (!is_kind(to, StringStream)) throw TypeError(L"print to: needs a StringStream, got: ", to);
  static_cast<StringStreamValue*>(to)->text += text;
}

// `print v [to:s] [#noMap]` is mapped: a collection (an array or a bit array) prints one
// element a line and the call yields OK, as every mapped call over a collection does; with
// #noMap, or for any other value, the value prints whole on one line and is the result.
Value* fn_print(Value** a, int n) {
  const int np = positional_arg_count(a, n);
  const bool no_map = np == 2 && a[1] == Name::intern(L"noMap");
  if (np != 1 && !no_map) throw ArgCountError(L"print", 1, np);
  Value* to = get_key_arg(a, n, L"to");
  if (!no_map && (is_array(a[0]) || is_bitarray(a[0]))) {
    TempRoots roots;
    Value* items = roots.add(is_array(a[0]) ? a[0] : a[0]->iterate_items());
    for (Value* v : std::vector<Value*>(static_cast<Array*>(items)->data))
      emit(to, v->to_printed() + L"\n");
    return &ok;
  }
  emit(to, a[0]->to_printed() + L"\n");
  return a[0];
}

Value* fn_format(Value** a, int n) {
  need_min_args(L"format", a, n, 1);
  int np = positional_arg_count(a, n);
  std::wstring text = format_text(need_string(a[0]), a, np);
  Value* to = get_key_arg(a, n, L"to");
  if (to != &unsupplied && to != &undefined) {
    if (!is_kind(to, StringStream)) throw TypeError(L"format to: needs a StringStream, got: ", to);
    static_cast<StringStreamValue*>(to)->text += text;
  } else {
    write_output(text);
  }
  return &ok;
}

Value* fn_string_stream(Value** a, int n) {
  need_args(L"stringStream", a, n, 1);
  return new StringStreamValue(need_string(a[0]));
}

// `formattedPrint value format:"8.3f"`: a number through one printf conversion. Only flags,
// width, precision and one conversion letter are accepted, so no text can reach printf as a
// format of its own.
Value* fn_formatted_print(Value** a, int n) {
  Value* format = get_key_arg(a, n, L"format");
  need_args(L"formattedPrint", a, n, 1);
  if (format == &unsupplied || format == nullptr) return new String(a[0]->to_string());
  const std::wstring pattern = format->to_string();
  size_t i = pattern.find_first_not_of(L"-+ #0");
  i = pattern.find_first_not_of(L"0123456789", i);
  if (i < pattern.size() && pattern[i] == L'.') i = pattern.find_first_not_of(L"0123456789", i + 1);
  const bool shaped = i != std::wstring::npos && i + 1 == pattern.size() &&
                      std::wstring(L"diouxXeEfgGc").find(pattern[i]) != std::wstring::npos &&
                      pattern.size() < 16;
  if (!shaped || !is_number(a[0]))
    throw RuntimeError((L"formattedPrint cannot apply format " + pattern).c_str(), a[0]);
  const std::wstring conversion = L"%" + pattern;
  wchar_t text[512];
  const wchar_t letter = pattern.back();
  // The argument's type follows the conversion letter: a double or an int, never a class.
  if (std::wstring(L"eEfgG").find(letter) != std::wstring::npos)
    std::swprintf(text, 512, conversion.c_str(), static_cast<double>(a[0]->to_float()));
  else
    std::swprintf(text, 512, conversion.c_str(), a[0]->to_int());
  return new String(text);
}

ValueMetaClass Options_class(L"OptionsInterface");

// `options`: the engine's switches scripts may read and set.
class OptionsValue : public Value {
 public:
  OptionsValue() { tag = &Options_class; }
  Value* get_property(Value** arg_list, int count) override {
    if (arg_list[0] == Name::intern(L"printAllElements")) return bool_result(print_all_elements());
    return Value::get_property(arg_list, count);
  }
  Value* set_property(Value** arg_list, int count) override {
    if (arg_list[1] != Name::intern(L"printAllElements"))
      return Value::set_property(arg_list, count);
    if (!is_bool(arg_list[0])) throw ConversionError(arg_list[0], L"BooleanClass");
    set_print_all_elements(arg_list[0] == &true_value);
    return arg_list[0];
  }
  void sprin1(CharStream* s) override { s->puts(L"<Interface:options>"); }
};

}  // namespace

void register_output_globals() {
  static OptionsValue options;
  define_global(L"options", &options, true);
}

static const BuiltinEntry kOutputLibrary[] = {
    {L"print", fn_print},
    {L"format", fn_format},
    {L"formattedPrint", fn_formatted_print},
    {L"stringStream", fn_string_stream},
};

std::span<const BuiltinEntry> output_library() {
  return kOutputLibrary;
}

}  // namespace maxhost::mxs
