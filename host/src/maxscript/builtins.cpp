// Built-in functions and constants of the global scope.
#include <algorithm>
#include <cmath>
#include <cwctype>
#include <filesystem>

#include "maxscript/collection.h"
#include "base/text.h"
#include "maxscript/engine.h"
#include "maxscript/interp.h"
#include "maxscript/ops.h"
#include "maxscript/parser.h"
#include "maxscript/values_util.h"

#include <windows.h>

namespace maxhost::mxs {
namespace {

constexpr double kPi = 3.14159265358979323846;

ValueMetaClass StringStream_class(L"StringStream");

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

void need_args(const wchar_t* fn, Value**& args, int& count, int wanted) {
  int n = positional_arg_count(args, count);
  if (n != wanted) throw ArgCountError(fn, wanted, n);
}
void need_min_args(const wchar_t* fn, Value** args, int count, int wanted) {
  int n = positional_arg_count(args, count);
  if (n < wanted) throw ArgCountError(fn, wanted, n);
}

Array* need_array(Value* v) {
  if (!is_array(v)) throw TypeError(L"Array expected, got: ", v);
  return static_cast<Array*>(v);
}
std::wstring need_string(Value* v) {
  if (!is_string(v) && !is_name(v)) throw ConversionError(v, L"String");
  return v->to_string();
}
double need_number(Value* v) {
  if (!is_number(v)) throw ConversionError(v, L"Float");
  return v->to_double();
}
int need_int(Value* v) {
  if (!is_number(v)) throw ConversionError(v, L"Integer");
  return v->to_int();
}
Value* make_float(double d) {
  return new Float(static_cast<float>(d));
}
bool key_bool(Value** args, int count, const wchar_t* key, bool dflt) {
  Value* v = get_key_arg(args, count, key);
  return v == &unsupplied ? dflt : v->to_bool() != 0;
}

std::wstring lower(std::wstring s) {
  for (auto& c : s) c = static_cast<wchar_t>(std::towlower(c));
  return s;
}

bool wildcard(const wchar_t* p, const wchar_t* s, bool icase) {
  // Iterative matcher with backtracking on the last '*'.
  const wchar_t *star = nullptr, *resume = nullptr;
  while (*s) {
    wchar_t pc = icase ? std::towlower(*p) : *p, sc = icase ? std::towlower(*s) : *s;
    if (*p == L'*') {
      star = p++;
      resume = s;
    } else if (*p && (*p == L'?' || pc == sc)) {
      ++p;
      ++s;
    } else if (star) {
      p = star + 1;
      s = ++resume;
    } else {
      return false;
    }
  }
  while (*p == L'*') ++p;
  return *p == L'\0';
}

// The script generator of `random` and `seed`: deterministic for a given seed.
struct ScriptRandom {
  std::uint32_t state = 12345;
  std::uint32_t next() {
    state = state * 1664525u + 1013904223u;
    return state >> 8;
  }
};
ScriptRandom g_random;

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

Value* fn_print(Value** a, int n) {
  need_args(L"print", a, n, 1);
  write_output(printed(a[0]) + L"\n");
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

Value* fn_append(Value** a, int n) {
  need_args(L"append", a, n, 2);
  if (is_string(a[0])) {
    static_cast<String*>(a[0])->string += need_string(a[1]);
    return a[0];
  }
  if (auto* c = as_collection(a[0])) {
    c->append_item(a[1]);
    return a[0];
  }
  need_array(a[0])->append(a[1]);
  return a[0];
}

Value* fn_delete_item(Value** a, int n) {
  need_args(L"deleteItem", a, n, 2);
  int i = need_int(a[1]);
  if (auto* c = as_collection(a[0])) {
    c->delete_item(i);
    return a[0];
  }
  Array* arr = need_array(a[0]);
  if (i < 1 || i > arr->count()) throw RuntimeError(L"Array index out of bounds: ", a[1]);
  arr->data.erase(arr->data.begin() + (i - 1));
  return a[0];
}

Value* fn_find_item(Value** a, int n) {
  need_args(L"findItem", a, n, 2);
  Array* arr = iterable_items(a[0]);
  for (int i = 0; i < arr->count(); ++i)
    if (values_equal(arr->get(i), a[1])) return Integer::intern(i + 1);
  return Integer::intern(0);
}

Value* fn_join(Value** a, int n) {
  need_args(L"join", a, n, 2);
  Array* src = iterable_items(a[1]);
  std::vector<Value*> items(src->data);
  if (auto* c = as_collection(a[0])) {
    for (Value* v : items) c->append_item(v);
    return a[0];
  }
  Array* dst = need_array(a[0]);
  dst->data.insert(dst->data.end(), items.begin(), items.end());
  return a[0];
}

Value* fn_insert_item(Value** a, int n) {
  need_args(L"insertItem", a, n, 3);
  Array* arr = need_array(a[1]);
  int i = need_int(a[2]);
  if (i < 1 || i > 10000000) throw RuntimeError(L"Array index out of bounds: ", a[2]);
  if (i > arr->count() + 1) arr->data.resize(static_cast<std::size_t>(i - 1), &undefined);
  arr->data.insert(arr->data.begin() + (i - 1), a[0]);
  return &ok;
}

Value* fn_sort(Value** a, int n) {
  need_args(L"sort", a, n, 1);
  Array* arr = need_array(a[0]);
  std::stable_sort(arr->data.begin(), arr->data.end(),
                   [](Value* x, Value* y) { return compare_values(x, y) < 0; });
  return arr;
}

Value* fn_make_unique(Value** a, int n) {
  need_args(L"makeUniqueArray", a, n, 1);
  Array* arr = need_array(a[0]);
  auto* out = new Array(0);
  for (Value* v : arr->data) {
    bool seen = false;
    for (Value* w : out->data) seen = seen || values_equal(v, w);
    if (!seen) out->append(v);
  }
  return out;
}

Value* fn_append_if_unique(Value** a, int n) {
  need_args(L"appendIfUnique", a, n, 2);
  Array* arr = need_array(a[0]);
  for (Value* v : arr->data)
    if (values_equal(v, a[1])) return &false_value;
  arr->append(a[1]);
  return &true_value;
}

Value* copy_value(Value* v, bool deep, int depth) {
  if (depth > 1000) throw MAXScriptException(L"Runtime error: Stack overflow");
  if (is_array(v)) {
    auto* src = static_cast<Array*>(v);
    auto* out = new Array(src->count());
    TempRoots roots;
    roots.add(out);
    for (Value* e : src->data) out->append(deep ? copy_value(e, true, depth + 1) : e);
    return out;
  }
  if (is_string(v)) return new String(static_cast<String*>(v)->string);
  if (is_kind(v, Point3Value)) {
    auto* p = static_cast<Point3Value*>(v);
    return new Point3Value(p->x, p->y, p->z);
  }
  return v;
}

Value* fn_amax_amin(Value** a, int n, bool want_max) {
  int np = positional_arg_count(a, n);
  std::vector<Value*> items;
  if (np == 1 && is_array(a[0]))
    items = static_cast<Array*>(a[0])->data;
  else
    items.assign(a, a + np);
  if (items.empty()) return &undefined;
  Value* best = items[0];
  for (Value* v : items) {
    int c = compare_values(v, best);
    if (want_max ? c > 0 : c < 0) best = v;
  }
  return best;
}

Value* math1(Value** a, int n, const wchar_t* name, double (*f)(double)) {
  need_args(name, a, n, 1);
  return make_float(f(need_number(a[0])));
}

Value* fn_substring(Value** a, int n) {
  need_args(L"substring", a, n, 3);
  std::wstring s = need_string(a[0]);
  int start = need_int(a[1]), len = need_int(a[2]);
  if (start < 1) start = 1;
  if (start > static_cast<int>(s.size())) return new String(L"");
  std::size_t b = static_cast<std::size_t>(start - 1);
  std::size_t l = len < 0 ? std::wstring::npos : static_cast<std::size_t>(len);
  return new String(s.substr(b, l));
}

Value* fn_find_string(Value** a, int n) {
  need_args(L"findString", a, n, 2);
  std::wstring s = lower(need_string(a[0])), t = lower(need_string(a[1]));
  std::size_t p = s.find(t);
  return p == std::wstring::npos ? static_cast<Value*>(&undefined)
                                 : Integer::intern(static_cast<int>(p) + 1);
}

Value* fn_filter_string(Value** a, int n) {
  need_args(L"filterString", a, n, 2);
  std::wstring s = need_string(a[0]), delims = need_string(a[1]);
  bool keep_empty = key_bool(a, n, L"splitEmptyTokens", false);
  auto* out = new Array(0);
  TempRoots roots;
  roots.add(out);
  std::wstring cur;
  for (wchar_t c : s) {
    if (delims.find(c) != std::wstring::npos) {
      if (!cur.empty() || keep_empty) out->append(new String(cur));
      cur.clear();
    } else {
      cur += c;
    }
  }
  if (!cur.empty()) out->append(new String(cur));
  return out;
}

Value* fn_trim(Value** a, int n, bool left) {
  int np = positional_arg_count(a, n);
  if (np < 1 || np > 2) throw ArgCountError(left ? L"trimLeft" : L"trimRight", 1, np);
  std::wstring s = need_string(a[0]);
  std::wstring chars = np == 2 ? need_string(a[1]) : L" \t\r\n";
  if (left) {
    std::size_t b = s.find_first_not_of(chars);
    return new String(b == std::wstring::npos ? L"" : s.substr(b));
  }
  std::size_t e = s.find_last_not_of(chars);
  return new String(e == std::wstring::npos ? L"" : s.substr(0, e + 1));
}

Value* fn_substitute(Value** a, int n) {
  need_args(L"substituteString", a, n, 3);
  std::wstring s = need_string(a[0]), from = need_string(a[1]), to = need_string(a[2]);
  if (from.empty()) return new String(s);
  std::wstring out;
  std::size_t p = 0, q;
  while ((q = s.find(from, p)) != std::wstring::npos) {
    out += s.substr(p, q - p) + to;
    p = q + from.size();
  }
  out += s.substr(p);
  return new String(out);
}

Value* fn_replace(Value** a, int n) {
  need_args(L"replace", a, n, 4);
  std::wstring s = need_string(a[0]);
  int start = need_int(a[1]), len = need_int(a[2]);
  if (start < 1 || start > static_cast<int>(s.size()) + 1 || len < 0)
    throw RuntimeError(L"replace: index out of range: ", a[1]);
  s.replace(static_cast<std::size_t>(start - 1), static_cast<std::size_t>(len), need_string(a[3]));
  return new String(s);
}

Value* fn_path_part(Value** a, int n, int part) {
  need_args(L"getFilename", a, n, 1);
  std::wstring s = need_string(a[0]);
  std::size_t slash = s.find_last_of(L"\\/");
  std::wstring file = slash == std::wstring::npos ? s : s.substr(slash + 1);
  std::wstring dir = slash == std::wstring::npos ? L"" : s.substr(0, slash + 1);
  std::size_t dot = file.find_last_of(L'.');
  switch (part) {
    case 0:
      return new String(dir);
    case 1:
      return new String(dot == std::wstring::npos ? file : file.substr(0, dot));
    case 2:
      return new String(dot == std::wstring::npos ? L"" : file.substr(dot));
    default:
      return new String(file);
  }
}

Value* fn_message_box(Value** a, int n, bool query) {
  need_args(query ? L"queryBox" : L"messageBox", a, n, 1);
  std::wstring text = sprinted(a[0]);
  Value* title = get_key_arg(a, n, L"title");
  std::wstring caption = title == &unsupplied ? L"MAXScript" : sprinted(title);
  int r = MessageBoxW(nullptr, text.c_str(), caption.c_str(),
                      query ? MB_YESNO | MB_ICONQUESTION : MB_OK | MB_ICONEXCLAMATION);
  if (query) return bool_result(r == IDYES);
  return &ok;
}

Value* fn_has_property(Value** a, int n) {
  need_args(L"hasProperty", a, n, 2);
  Value* prop = Name::intern(need_string(a[1]).c_str());
  try {
    a[0]->get_property(&prop, 1);
    return &true_value;
  } catch (MAXScriptException&) {
    return &false_value;
  }
}

void prim(const wchar_t* name, Primitive::Fn fn) {
  define_primitive(name, std::move(fn));
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
  if (std::wstring(L"eEfgG").find(letter) != std::wstring::npos)
    std::swprintf(text, 512, conversion.c_str(), a[0]->to_float());
  else
    std::swprintf(text, 512, conversion.c_str(), a[0]->to_int());
  return new String(text);
}

ValueMetaClass Interface_class(L"Interface");

// A global whose properties are functions, as the host's core interfaces are (`bit.and`).
class FunctionInterface : public Value {
 public:
  explicit FunctionInterface(std::wstring n) : name(std::move(n)) { tag = &Interface_class; }
  void add(const std::wstring& fn, Primitive::Fn f) {
    functions.emplace_back(fn, new Primitive((name + L"." + fn).c_str(), std::move(f)));
  }
  void sprin1(CharStream* s) override { s->puts((L"<Interface:" + name + L">").c_str()); }
  Value* get_property(Value** args, int) override {
    for (auto& [fn, p] : functions)
      if (lower(fn) == lower(args[0]->to_string())) return p;
    throw AccessorError(this, args[0]);
  }
  void gc_trace() override {
    for (auto& entry : functions) gc_mark(entry.second);
  }

 private:
  std::wstring name;
  std::vector<std::pair<std::wstring, Primitive*>> functions;
};

// Integer arguments of a bit function, checked.
int bit_arg(const wchar_t* fn, Value** a, int i) {
  if (!is_number(a[i])) throw TypeError((std::wstring(fn) + L" needs an integer, got: ").c_str(), a[i]);
  return a[i]->to_int();
}

// The `bit` interface: 32-bit integer operations, bit positions counted from 1.
void register_bit_interface() {
  auto* bit = new FunctionInterface(L"bit");
  auto binary = [bit](const wchar_t* fn, uint32_t (*op)(uint32_t, uint32_t)) {
    bit->add(fn, [fn, op](Value** a, int n) -> Value* {
      need_args(fn, a, n, 2);
      return Integer::intern(static_cast<int>(
          op(static_cast<uint32_t>(bit_arg(fn, a, 0)), static_cast<uint32_t>(bit_arg(fn, a, 1)))));
    });
  };
  binary(L"and", [](uint32_t x, uint32_t y) { return x & y; });
  binary(L"or", [](uint32_t x, uint32_t y) { return x | y; });
  binary(L"xor", [](uint32_t x, uint32_t y) { return x ^ y; });
  bit->add(L"not", [](Value** a, int n) -> Value* {
    need_args(L"bit.not", a, n, 1);
    return Integer::intern(~bit_arg(L"bit.not", a, 0));
  });
  // Positive counts shift left, negative right (logical); 32 or more clears every bit.
  bit->add(L"shift", [](Value** a, int n) -> Value* {
    need_args(L"bit.shift", a, n, 2);
    const uint32_t x = static_cast<uint32_t>(bit_arg(L"bit.shift", a, 0));
    const int by = bit_arg(L"bit.shift", a, 1);
    const uint32_t r = by >= 32 || by <= -32 ? 0u : by >= 0 ? x << by : x >> -by;
    return Integer::intern(static_cast<int>(r));
  });
  bit->add(L"get", [](Value** a, int n) -> Value* {
    need_args(L"bit.get", a, n, 2);
    const int pos = bit_arg(L"bit.get", a, 1);
    if (pos < 1 || pos > 32) return &false_value;
    return (static_cast<uint32_t>(bit_arg(L"bit.get", a, 0)) >> (pos - 1)) & 1u ? &true_value
                                                                               : &false_value;
  });
  bit->add(L"set", [](Value** a, int n) -> Value* {
    need_args(L"bit.set", a, n, 3);
    uint32_t x = static_cast<uint32_t>(bit_arg(L"bit.set", a, 0));
    const int pos = bit_arg(L"bit.set", a, 1);
    if (pos >= 1 && pos <= 32) {
      const uint32_t mask = 1u << (pos - 1);
      x = a[2]->to_bool() ? (x | mask) : (x & ~mask);
    }
    return Integer::intern(static_cast<int>(x));
  });
  bit->add(L"intAsHex", [](Value** a, int n) -> Value* {
    need_args(L"bit.intAsHex", a, n, 1);
    wchar_t text[16];
    std::swprintf(text, 16, L"%x", static_cast<uint32_t>(bit_arg(L"bit.intAsHex", a, 0)));
    return new String(text);
  });
  define_global(L"bit", bit, true);
}

}  // namespace

void register_builtins() {
  for (ValueMetaClass* c : {&Integer_class, &Float_class, &String_class, &Name_class, &Array_class,
                            &Boolean_class, &Point3Value_class, &Number_class, &Undefined_class,
                            &Ok_class, &Unsupplied_class, &StringStream_class, &Value_class})
    define_global(lower(c->name), c, true);
  define_global(L"undefined", &undefined, true);
  define_global(L"ok", &ok, true);
  define_global(L"unsupplied", &unsupplied, true);
  define_global(L"true", &true_value, true);
  define_global(L"false", &false_value, true);
  define_global(L"on", &true_value, true);
  define_global(L"off", &false_value, true);
  define_global(L"pi", new Float(static_cast<float>(kPi)), true);
  define_global(L"e", new Float(static_cast<float>(std::exp(1.0))), true);

  register_bit_interface();
  prim(L"formattedPrint", fn_formatted_print);
  prim(L"print", fn_print);
  prim(L"format", fn_format);
  prim(L"append", fn_append);
  prim(L"deleteItem", fn_delete_item);
  prim(L"findItem", fn_find_item);
  prim(L"join", fn_join);
  prim(L"insertItem", fn_insert_item);
  prim(L"sort", fn_sort);
  prim(L"makeUniqueArray", fn_make_unique);
  prim(L"appendIfUnique", fn_append_if_unique);
  prim(L"copy", [](Value** a, int n) {
    need_args(L"copy", a, n, 1);
    return copy_value(a[0], false, 0);
  });
  prim(L"deepCopy", [](Value** a, int n) {
    need_args(L"deepCopy", a, n, 1);
    return copy_value(a[0], true, 0);
  });
  prim(L"amax", [](Value** a, int n) { return fn_amax_amin(a, n, true); });
  prim(L"amin", [](Value** a, int n) { return fn_amax_amin(a, n, false); });
  prim(L"classOf", [](Value** a, int n) {
    need_args(L"classOf", a, n, 1);
    return a[0]->classOf();
  });
  prim(L"isKindOf", [](Value** a, int n) -> Value* {
    need_args(L"isKindOf", a, n, 2);
    Value* c = a[1];
    if (a[0]->classOf() == c) return &true_value;
    return bool_result(c->tag == &Class_class && a[0]->is_kind_of(static_cast<ValueMetaClass*>(c)));
  });
  prim(L"messageBox", [](Value** a, int n) { return fn_message_box(a, n, false); });
  prim(L"queryBox", [](Value** a, int n) { return fn_message_box(a, n, true); });
  prim(L"gc", [](Value**, int) {
    collect();
    return &ok;
  });
  prim(L"getCurrentException", [](Value**, int) -> Value* {
    Value* e = thread_state().current_exception;
    return e ? e : &undefined;
  });
  prim(L"execute", [](Value** a, int n) {
    need_args(L"execute", a, n, 1);
    ParseResult r = parse_program(need_string(a[0]), L"");
    if (!r.errors.empty()) throw MAXScriptException(L"Syntax error: " + r.errors.front().message);
    return eval_program(r.program);
  });
  prim(L"hasProperty", fn_has_property);
  prim(L"isProperty", fn_has_property);
  prim(L"getProperty", [](Value** a, int n) {
    need_args(L"getProperty", a, n, 2);
    Value* prop = Name::intern(need_string(a[1]).c_str());
    return a[0]->get_property(&prop, 1);
  });
  prim(L"setProperty", [](Value** a, int n) {
    need_args(L"setProperty", a, n, 3);
    Value* args[2] = {a[2], Name::intern(need_string(a[1]).c_str())};
    return a[0]->set_property(args, 2);
  });
  prim(L"stringStream", [](Value** a, int n) {
    need_args(L"stringStream", a, n, 1);
    return new StringStreamValue(need_string(a[0]));
  });

  prim(L"substring", fn_substring);
  prim(L"findString", fn_find_string);
  prim(L"filterString", fn_filter_string);
  prim(L"trimLeft", [](Value** a, int n) { return fn_trim(a, n, true); });
  prim(L"trimRight", [](Value** a, int n) { return fn_trim(a, n, false); });
  prim(L"substituteString", fn_substitute);
  prim(L"replace", fn_replace);
  prim(L"toUpper", [](Value** a, int n) {
    need_args(L"toUpper", a, n, 1);
    std::wstring s = need_string(a[0]);
    for (auto& c : s) c = static_cast<wchar_t>(std::towupper(c));
    return new String(s);
  });
  prim(L"toLower", [](Value** a, int n) {
    need_args(L"toLower", a, n, 1);
    return new String(lower(need_string(a[0])));
  });
  prim(L"matchPattern", [](Value** a, int n) {
    need_args(L"matchPattern", a, n, 1);
    Value* pattern = get_key_arg(a, n, L"pattern");
    if (pattern == &unsupplied)
      throw RuntimeError(L"matchPattern needs pattern:", static_cast<Value*>(nullptr));
    std::wstring s = need_string(a[0]), p = need_string(pattern);
    return bool_result(wildcard(p.c_str(), s.c_str(), key_bool(a, n, L"ignoreCase", true)));
  });
  prim(L"stricmp", [](Value** a, int n) {
    need_args(L"stricmp", a, n, 2);
    int c = lower(need_string(a[0])).compare(lower(need_string(a[1])));
    return Integer::intern(c < 0 ? -1 : c > 0 ? 1 : 0);
  });
  prim(L"getFilenamePath", [](Value** a, int n) { return fn_path_part(a, n, 0); });
  prim(L"getFilenameFile", [](Value** a, int n) { return fn_path_part(a, n, 1); });
  prim(L"getFilenameType", [](Value** a, int n) { return fn_path_part(a, n, 2); });
  prim(L"filenameFromPath", [](Value** a, int n) { return fn_path_part(a, n, 3); });
  prim(L"doesFileExist", [](Value** a, int n) {
    need_args(L"doesFileExist", a, n, 1);
    std::error_code ec;
    return bool_result(std::filesystem::exists(maxhost::Utf8FromWide(need_string(a[0])), ec));
  });

  prim(L"abs", [](Value** a, int n) -> Value* {
    need_args(L"abs", a, n, 1);
    if (is_integer(a[0])) {
      int v = a[0]->to_int();
      return Integer::intern(v < 0 ? static_cast<int>(0u - static_cast<unsigned>(v)) : v);
    }
    return make_float(std::fabs(need_number(a[0])));
  });
  prim(L"sqrt", [](Value** a, int n) {
    return math1(a, n, L"sqrt", [](double x) { return std::sqrt(x); });
  });
  prim(L"exp",
       [](Value** a, int n) { return math1(a, n, L"exp", [](double x) { return std::exp(x); }); });
  prim(L"log",
       [](Value** a, int n) { return math1(a, n, L"log", [](double x) { return std::log(x); }); });
  prim(L"log10", [](Value** a, int n) {
    return math1(a, n, L"log10", [](double x) { return std::log10(x); });
  });
  prim(L"floor", [](Value** a, int n) {
    return math1(a, n, L"floor", [](double x) { return std::floor(x); });
  });
  prim(L"ceil", [](Value** a, int n) {
    return math1(a, n, L"ceil", [](double x) { return std::ceil(x); });
  });
  prim(L"sin", [](Value** a, int n) {
    return math1(a, n, L"sin", [](double x) { return std::sin(x * kPi / 180); });
  });
  prim(L"cos", [](Value** a, int n) {
    return math1(a, n, L"cos", [](double x) { return std::cos(x * kPi / 180); });
  });
  prim(L"tan", [](Value** a, int n) {
    return math1(a, n, L"tan", [](double x) { return std::tan(x * kPi / 180); });
  });
  prim(L"asin", [](Value** a, int n) {
    return math1(a, n, L"asin", [](double x) { return std::asin(x) * 180 / kPi; });
  });
  prim(L"acos", [](Value** a, int n) {
    return math1(a, n, L"acos", [](double x) { return std::acos(x) * 180 / kPi; });
  });
  prim(L"atan", [](Value** a, int n) {
    return math1(a, n, L"atan", [](double x) { return std::atan(x) * 180 / kPi; });
  });
  prim(L"atan2", [](Value** a, int n) {
    need_args(L"atan2", a, n, 2);
    return make_float(std::atan2(need_number(a[0]), need_number(a[1])) * 180 / kPi);
  });
  prim(L"pow", [](Value** a, int n) {
    need_args(L"pow", a, n, 2);
    return make_float(std::pow(need_number(a[0]), need_number(a[1])));
  });
  prim(L"mod", [](Value** a, int n) {
    need_args(L"mod", a, n, 2);
    return make_float(std::fmod(need_number(a[0]), need_number(a[1])));
  });
  prim(L"seed", [](Value** a, int n) {
    need_args(L"seed", a, n, 1);
    g_random.state = static_cast<std::uint32_t>(need_int(a[0]));
    return &ok;
  });
  prim(L"random", [](Value** a, int n) -> Value* {
    need_args(L"random", a, n, 2);
    if (is_integer(a[0]) && is_integer(a[1])) {
      long long lo = a[0]->to_int(), hi = a[1]->to_int();
      if (lo > hi) std::swap(lo, hi);
      return Integer::intern(static_cast<int>(
          lo + static_cast<long long>(g_random.next() % static_cast<std::uint32_t>(hi - lo + 1))));
    }
    double lo = need_number(a[0]), hi = need_number(a[1]);
    return make_float(lo + (hi - lo) * (g_random.next() / 16777215.0));
  });
}

}  // namespace maxhost::mxs
