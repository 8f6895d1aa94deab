// The value classes of the public headers: constants, numbers, strings, names, arrays,
// tables, thunks, functions, structs and the error texts.
#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cwctype>
#include <mutex>
#include <unordered_map>

#include "base/text.h"
#include "maxscript/heap.h"
#include "maxscript/ops.h"
#include "maxscript/values_util.h"

namespace maxhost::mxs {
void register_heap_value(Value* v, bool& heap_flag);
void unregister_heap_value(Value* v);
}  // namespace maxhost::mxs

using maxhost::mxs::printed;

// ---- class tags --------------------------------------------------------------------

ValueMetaClass Value_class(L"Value");
ValueMetaClass Class_class(L"Class");
ValueMetaClass Undefined_class(L"UndefinedClass");
ValueMetaClass Ok_class(L"OkClass");
ValueMetaClass Unsupplied_class(L"UnsuppliedClass");
ValueMetaClass Boolean_class(L"BooleanClass");
ValueMetaClass Number_class(L"Number");
ValueMetaClass Integer_class(L"Integer", &Number_class);
ValueMetaClass Float_class(L"Float", &Number_class);
ValueMetaClass String_class(L"String");
ValueMetaClass Name_class(L"Name");
ValueMetaClass Array_class(L"Array");
ValueMetaClass Point3Value_class(L"Point3");
ValueMetaClass HashTable_class(L"HashTable");
ValueMetaClass GlobalThunk_class(L"GlobalThunk");
ValueMetaClass ConstGlobalThunk_class(L"ConstGlobalThunk");
ValueMetaClass MAXScriptFunction_class(L"MAXScriptFunction");
ValueMetaClass Primitive_class(L"Primitive");
ValueMetaClass StructDef_class(L"StructDef");
ValueMetaClass Struct_class(L"Struct");
ValueMetaClass MAXWrapper_class(L"MAXWrapper");
ValueMetaClass MAXClass_class(L"MAXClass");

Undefined undefined;
Ok ok;
Unsupplied unsupplied;
Boolean true_value(true);
Boolean false_value(false);
KeyArgMarker keyarg_marker;
HashTable* globals = nullptr;

// ---- streams -----------------------------------------------------------------------

CharStream::~CharStream() = default;

void CharStream::printf(const MCHAR* format, ...) {
  wchar_t buf[1024];
  va_list ap;
  va_start(ap, format);
  int n = std::vswprintf(buf, sizeof(buf) / sizeof(buf[0]), format, ap);
  va_end(ap);
  if (n >= 0) puts(buf);
}

CallContext::~CallContext() = default;

// ---- Value -------------------------------------------------------------------------

Value::Value() : tag(&Value_class), heap_(false), marked_(false), permanent_count_(0) {
  maxhost::mxs::register_heap_value(this, heap_);
}

Value::~Value() {
  if (heap_) maxhost::mxs::unregister_heap_value(this);
}

void Value::sprin1(CharStream* s) {
  s->puts(L"<");
  s->puts(tag ? tag->name : L"Value");
  s->puts(L">");
}
void Value::sprint(CharStream* s) {
  sprin1(s);
}
void Value::gc_trace() {}

Value* Value::apply(Value**, int, CallContext*) {
  throw TypeError(L"Call needs function or class, got: ", this);
}
Value* Value::get_property(Value** arg_list, int) {
  throw AccessorError(this, arg_list[0]);
}
Value* Value::set_property(Value** arg_list, int) {
  throw AccessorError(this, arg_list[1]);
}
Value* Value::get_vf(Value**, int) {
  throw NoMethodError(L"get", this);
}
Value* Value::put_vf(Value**, int) {
  throw NoMethodError(L"put", this);
}
bool Value::equals(Value* other) {
  return other == this;
}
Value* Value::coerce(ValueMetaClass* target) {
  if (target == &String_class) {
    StringCharStream s;
    sprint(&s);
    return new String(std::move(s.text));
  }
  if (is_kind_of(target)) return this;
  return nullptr;
}
Value* Value::classOf() {
  return tag;
}
Value* Value::superClassOf() {
  return tag != nullptr && tag->base != nullptr ? tag->base : &Value_class;
}
Value* Value::iterate_items() {
  return nullptr;
}
bool Value::is_kind_of(ValueMetaClass* c) {
  for (ValueMetaClass* t = tag; t != nullptr; t = t->base)
    if (t == c) return true;
  return false;
}
int Value::to_int() {
  throw ConversionError(this, L"Integer");
}
float Value::to_float() {
  throw ConversionError(this, L"Float");
}
double Value::to_double() {
  return to_float();
}
const MCHAR* Value::to_string() {
  throw ConversionError(this, L"String");
}
BOOL Value::to_bool() {
  throw ConversionError(this, L"BooleanClass");
}
ReferenceTarget* Value::to_reftarg() {
  throw ConversionError(this, L"MAXWrapper");
}

std::wstring Value::to_printed() {
  StringCharStream s;
  sprin1(&s);
  return s.text;
}

ValueMetaClass::ValueMetaClass(const MCHAR* n, ValueMetaClass* base_class)
    : name(n), base(base_class) {
  tag = &Class_class;
}
void ValueMetaClass::sprin1(CharStream* s) {
  s->puts(name);
}
Value* ValueMetaClass::apply(Value** arg_list, int count, CallContext* cc) {
  if (construct == nullptr) return Value::apply(arg_list, count, cc);
  return construct(arg_list, count);
}
bool ValueMetaClass::is_kind_of(ValueMetaClass* c) {
  return c == &Class_class;
}

// ---- constants ---------------------------------------------------------------------

Undefined::Undefined() {
  tag = &Undefined_class;
}
void Undefined::sprin1(CharStream* s) {
  s->puts(L"undefined");
}
Value* Undefined::coerce(ValueMetaClass* target) {
  if (target == &String_class) return new String(L"undefined");
  return target == &Undefined_class ? this : nullptr;
}
Ok::Ok() {
  tag = &Ok_class;
}
void Ok::sprin1(CharStream* s) {
  s->puts(L"OK");
}
Unsupplied::Unsupplied() {
  tag = &Unsupplied_class;
}
void Unsupplied::sprin1(CharStream* s) {
  s->puts(L"unsupplied");
}
Boolean::Boolean(bool v) : value(v) {
  tag = &Boolean_class;
}
void Boolean::sprin1(CharStream* s) {
  s->puts(value ? L"true" : L"false");
}
Value* Boolean::coerce(ValueMetaClass* target) {
  if (target == &Integer_class) return Integer::intern(value ? 1 : 0);
  if (target == &Float_class) return new Float(value ? 1.f : 0.f);
  return Value::coerce(target);
}
KeyArgMarker::KeyArgMarker() {}

int positional_arg_count(Value** arg_list, int count) {
  for (int i = 0; i < count; ++i)
    if (arg_list[i] == &keyarg_marker) return i;
  return count;
}

Value* _get_key_arg(Value** arg_list, int count, Value* key) {
  Value* k = is_name(key) ? key : Name::intern(key->to_string());
  for (int i = positional_arg_count(arg_list, count) + 1; i + 1 < count; i += 2)
    if (arg_list[i] == k) return arg_list[i + 1];
  return &unsupplied;
}

Value* get_key_arg(Value** arg_list, int count, const MCHAR* key) {
  return _get_key_arg(arg_list, count, Name::intern(key));
}

// ---- numbers -----------------------------------------------------------------------

Integer::Integer(int v) : value(v) {
  tag = &Integer_class;
}

Integer* Integer::intern(int v) {
  constexpr int kLow = -256, kHigh = 1024;
  if (v < kLow || v >= kHigh) return new Integer(v);
  static Integer* cache[kHigh - kLow] = {};
  static std::mutex m;
  std::lock_guard<std::mutex> lock(m);
  Integer*& slot = cache[v - kLow];
  if (slot == nullptr) {
    slot = new Integer(v);
    slot->make_heap_permanent();
  }
  return slot;
}

void Integer::sprin1(CharStream* s) {
  s->puts(std::to_wstring(value).c_str());
}
bool Integer::equals(Value* other) {
  if (is_integer(other)) return static_cast<Integer*>(other)->value == value;
  if (is_float(other)) return static_cast<Float*>(other)->value == static_cast<float>(value);
  return false;
}
Value* Integer::coerce(ValueMetaClass* target) {
  if (target == &Integer_class || target == &Number_class) return this;
  if (target == &Float_class) return new Float(static_cast<float>(value));
  if (target == &Boolean_class) return bool_result(value != 0);
  return Value::coerce(target);
}
BOOL Integer::to_bool() {
  return value != 0;
}

Float::Float(float v) : value(v) {
  tag = &Float_class;
}
Float* Float::intern(float v) {
  return new Float(v);
}
void Float::sprin1(CharStream* s) {
  s->puts(maxhost::mxs::format_float(value).c_str());
}
bool Float::equals(Value* other) {
  if (is_float(other)) return static_cast<Float*>(other)->value == value;
  if (is_integer(other)) return static_cast<float>(static_cast<Integer*>(other)->value) == value;
  return false;
}
int Float::to_int() {
  if (!std::isfinite(value) || std::fabs(value) >= 2147483648.f) return 0;
  return static_cast<int>(value);
}
Value* Float::coerce(ValueMetaClass* target) {
  if (target == &Float_class || target == &Number_class) return this;
  if (target == &Integer_class) return Integer::intern(to_int());
  return Value::coerce(target);
}

Point3Value::Point3Value(float px, float py, float pz) : x(px), y(py), z(pz) {
  tag = &Point3Value_class;
}
void Point3Value::sprin1(CharStream* s) {
  auto f = maxhost::mxs::format_component;
  s->puts((L"[" + f(x) + L"," + f(y) + L"," + f(z) + L"]").c_str());
}
Value* Point3Value::coerce(ValueMetaClass* target) {
  // The host reads x, y, z as r, g, b on the 0 to 255 scale, opaque.
  if (target == &Color_class) return new ColorValue(x, y, z);
  return Value::coerce(target);
}
bool Point3Value::equals(Value* other) {
  if (!is_kind(other, Point3Value)) return false;
  auto* p = static_cast<Point3Value*>(other);
  return p->x == x && p->y == y && p->z == z;
}
Value* Point3Value::get_property(Value** arg_list, int count) {
  Value* p = arg_list[0];
  if (p == Name::intern(L"x")) return new Float(x);
  if (p == Name::intern(L"y")) return new Float(y);
  if (p == Name::intern(L"z")) return new Float(z);
  return Value::get_property(arg_list, count);
}
Value* Point3Value::set_property(Value** arg_list, int count) {
  Value* p = arg_list[1];
  float v = arg_list[0]->to_float();
  if (p == Name::intern(L"x"))
    x = v;
  else if (p == Name::intern(L"y"))
    y = v;
  else if (p == Name::intern(L"z"))
    z = v;
  else
    return Value::set_property(arg_list, count);
  return arg_list[0];
}

// ---- strings and names -------------------------------------------------------------

String::String(const MCHAR* s) : string(s ? s : L"") {
  tag = &String_class;
  maxhost::mxs::note_heap_bytes(string.capacity() * sizeof(wchar_t));
}
String::String(std::wstring s) : string(std::move(s)) {
  tag = &String_class;
  maxhost::mxs::note_heap_bytes(string.capacity() * sizeof(wchar_t));
}

// The host prints a string's characters as they are, between quotes: no escapes.
void String::sprin1(CharStream* s) {
  std::wstring out;
  out.reserve(string.size() + 2);
  out.append(L"\"").append(string).append(L"\"");
  maxhost::mxs::put_text(s, out);
}
void String::sprint(CharStream* s) {
  maxhost::mxs::put_text(s, string);
}
bool String::equals(Value* other) {
  return is_string(other) && static_cast<String*>(other)->string == string;
}
Value* String::coerce(ValueMetaClass* target) {
  if (target == &String_class) return this;
  if (target == &Name_class) return Name::intern(string.c_str());
  if (target == &Integer_class || target == &Float_class || target == &Number_class) {
    double d;
    bool is_int;
    if (!maxhost::mxs::parse_number(string, d, is_int)) return &undefined;
    if (target == &Integer_class)
      return Integer::intern(d >= 2147483647.0 || d <= -2147483648.0 ? 0 : static_cast<int>(d));
    if (target == &Number_class && is_int) return Integer::intern(static_cast<int>(d));
    return new Float(static_cast<float>(d));
  }
  return Value::coerce(target);
}
Value* String::get_property(Value** arg_list, int count) {
  if (arg_list[0] == Name::intern(L"count"))
    return Integer::intern(static_cast<int>(string.size()));
  return Value::get_property(arg_list, count);
}
Value* String::get_vf(Value** arg_list, int) {
  Value* i = arg_list[0];
  if (!is_number(i)) throw TypeError(L"String index must be a number, got: ", i);
  int k = i->to_int();
  if (k < 1 || k > static_cast<int>(string.size()))
    throw RuntimeError(L"String index out of bounds: ", i);
  return new String(string.substr(static_cast<std::size_t>(k - 1), 1));
}

namespace {
struct NameTable {
  std::mutex mutex;
  std::unordered_map<std::wstring, Name*> names;
};
NameTable& name_table() {
  static NameTable* t = new NameTable;
  return *t;
}
}  // namespace

Name::Name(std::wstring s) : string(std::move(s)) {
  tag = &Name_class;
  make_heap_permanent();
}

Name* Name::intern_name(const std::wstring& s) {
  std::wstring key = maxhost::FoldCase(s);
  NameTable& t = name_table();
  std::lock_guard<std::mutex> lock(t.mutex);
  auto it = t.names.find(key);
  if (it != t.names.end()) return it->second;
  Name* n = new Name(s);
  t.names.emplace(std::move(key), n);
  return n;
}

Value* Name::intern(const MCHAR* s) {
  return intern_name(s ? s : L"");
}
void Name::sprin1(CharStream* s) {
  s->puts(L"#");
  s->puts(string.c_str());
}
void Name::sprint(CharStream* s) {
  s->puts(string.c_str());
}
Value* Name::coerce(ValueMetaClass* target) {
  if (target == &Name_class) return this;
  if (target == &String_class) return new String(string);
  return nullptr;
}

// ---- arrays and tables -------------------------------------------------------------

namespace {
// Counts an array's new storage against the heap limit before it is allocated.
void grow_array(std::vector<Value*>& data, std::size_t size) {
  if (size <= data.capacity()) return;
  std::size_t capacity = std::max(size, 2 * data.capacity());
  maxhost::mxs::reserve_heap((capacity - data.capacity()) * sizeof(Value*));
  data.reserve(capacity);
}
}  // namespace

Array::Array(int init_size) {
  tag = &Array_class;
  if (init_size > 0) grow_array(data, static_cast<std::size_t>(init_size));
}
Value* Array::append(Value* v) {
  grow_array(data, data.size() + 1);
  data.push_back(v);
  return v;
}
Value* Array::get(int i) const {
  return i >= 0 && i < count() ? data[static_cast<std::size_t>(i)] : &undefined;
}
namespace {
// Containers being printed on this thread: a container that holds itself (directly or
// through others) prints as "..." the second time instead of recursing without end.
thread_local std::vector<const Value*> printing;
struct PrintGuard {
  bool cycle;
  explicit PrintGuard(const Value* v)
      : cycle(std::find(printing.begin(), printing.end(), v) != printing.end()) {
    if (!cycle) printing.push_back(v);
  }
  ~PrintGuard() {
    if (!cycle) printing.pop_back();
  }
};
}  // namespace

void Array::sprin1(CharStream* s) {
  maxhost::mxs::check_stack();
  PrintGuard guard(this);
  if (guard.cycle) return s->puts(L"...");
  s->puts(L"#(");
  const std::size_t shown =
      maxhost::mxs::print_all_elements()
          ? data.size()
          : std::min<std::size_t>(data.size(), maxhost::mxs::kPrintedElements);
  for (std::size_t i = 0; i < shown; ++i) {
    if (i) s->puts(L", ");
    data[i]->sprin1(s);
  }
  if (shown < data.size()) s->puts(L", ...");
  s->puts(L")");
}
void Array::gc_trace() {
  for (Value* v : data) gc_mark(v);
}
bool Array::equals(Value* other) {
  return other == this;
}
Value* Array::coerce(ValueMetaClass* target) {
  if (target == &Array_class) return this;
  if (target == &BitArray_class) return maxhost::mxs::bitarray_from_array(this);
  return Value::coerce(target);
}
Value* Array::get_property(Value** arg_list, int count) {
  if (arg_list[0] == Name::intern(L"count")) return Integer::intern(this->count());
  return Value::get_property(arg_list, count);
}
Value* Array::set_property(Value** arg_list, int count) {
  if (arg_list[1] == Name::intern(L"count")) {
    int n = arg_list[0]->to_int();
    if (n < 0) throw RuntimeError(L"Array count must be +ve number, got: ", arg_list[0]);
    if (n > 10000000) throw RuntimeError(L"Array count too large: ", arg_list[0]);
    grow_array(data, static_cast<std::size_t>(n));
    data.resize(static_cast<std::size_t>(n), &undefined);
    return arg_list[0];
  }
  return Value::set_property(arg_list, count);
}
static int array_index(Value* i) {
  if (!is_number(i) || i->to_int() < 1)
    throw RuntimeError(L"array index must be +ve number, got: ", i);
  return i->to_int();
}
Value* Array::get_vf(Value** arg_list, int) {
  return get(array_index(arg_list[0]) - 1);
}
Value* Array::put_vf(Value** arg_list, int) {
  int i = array_index(arg_list[0]);
  if (i > 10000000) throw RuntimeError(L"array index too large: ", arg_list[0]);
  if (i > count()) {
    grow_array(data, static_cast<std::size_t>(i));
    data.resize(static_cast<std::size_t>(i), &undefined);
  }
  data[static_cast<std::size_t>(i - 1)] = arg_list[1];
  return arg_list[1];
}

HashTable::HashTable() {
  tag = &HashTable_class;
}
Value* HashTable::get(Value* key) {
  auto it = table.find(key);
  return it == table.end() ? nullptr : it->second;
}
Value* HashTable::put(Value* key, Value* val) {
  table[key] = val;
  return val;
}
void HashTable::remove(Value* key) {
  table.erase(key);
}
void HashTable::gc_trace() {
  for (auto& kv : table) {
    gc_mark(kv.first);
    gc_mark(kv.second);
  }
}

GlobalThunk::GlobalThunk(Value* n, Value* init) : name(n), cell(init) {
  tag = &GlobalThunk_class;
}
void GlobalThunk::gc_trace() {
  gc_mark(name);
  gc_mark(cell);
}
void GlobalThunk::sprin1(CharStream* s) {
  cell->sprin1(s);
}
ConstGlobalThunk::ConstGlobalThunk(Value* n, Value* init) : GlobalThunk(n, init) {
  tag = &ConstGlobalThunk_class;
}

// ---- functions and structs ---------------------------------------------------------

Primitive::Primitive(const MCHAR* n, Fn f) : name(n), fn(std::move(f)) {
  tag = &Primitive_class;
}
void Primitive::sprin1(CharStream* s) {
  s->puts(name.c_str());
  s->puts(L"()");
}
Value* Primitive::apply(Value** arglist, int count, CallContext*) {
  Value* r = fn(arglist, count);
  return r ? r : &undefined;
}

MAXScriptFunction::MAXScriptFunction() {
  tag = &MAXScriptFunction_class;
}
void MAXScriptFunction::sprin1(CharStream* s) {
  s->puts(name.c_str());
  s->puts(L"()");
}

StructDef::StructDef() {
  tag = &StructDef_class;
}
int StructDef::member_index(Value* n) const {
  for (std::size_t i = 0; i < member_names.size(); ++i)
    if (member_names[i] == n) return static_cast<int>(i);
  return -1;
}

Struct::Struct(StructDef* def) : definition(def), members(def->member_names.size(), &undefined) {
  tag = &Struct_class;
}
void Struct::sprin1(CharStream* s) {
  maxhost::mxs::check_stack();
  PrintGuard guard(this);
  if (guard.cycle) return s->puts(L"...");
  s->puts(L"(");
  s->puts(static_cast<Name*>(definition->name)->string.c_str());
  for (std::size_t i = 0; i < members.size(); ++i) {
    if (is_function(members[i])) continue;
    s->puts(L" ");
    definition->member_names[i]->sprint(s);
    s->puts(L":");
    members[i]->sprin1(s);
  }
  s->puts(L")");
}
void Struct::gc_trace() {
  gc_mark(definition);
  for (Value* v : members) gc_mark(v);
}
Value* Struct::get_property(Value** arg_list, int count) {
  int i = definition->member_index(arg_list[0]);
  if (i < 0) return Value::get_property(arg_list, count);
  return members[static_cast<std::size_t>(i)];
}
Value* Struct::set_property(Value** arg_list, int count) {
  int i = definition->member_index(arg_list[1]);
  if (i < 0) return Value::set_property(arg_list, count);
  members[static_cast<std::size_t>(i)] = arg_list[0];
  return arg_list[0];
}

MAXWrapper::MAXWrapper() {
  tag = &MAXWrapper_class;
}
MAXClass::MAXClass() {
  tag = &MAXClass_class;
}

// ---- errors ------------------------------------------------------------------------

MAXScriptException::MAXScriptException() = default;
MAXScriptException::MAXScriptException(std::wstring msg) : message_(std::move(msg)) {}
MAXScriptException::~MAXScriptException() = default;
void MAXScriptException::sprin1(CharStream* s) {
  s->puts(L"-- ");
  s->puts(message_.c_str());
}

RuntimeError::RuntimeError(const MCHAR* s, Value* v)
    : MAXScriptException(std::wstring(L"Runtime error: ") + s + (v ? printed(v) : L"")) {}
RuntimeError::RuntimeError(const MCHAR* s1, const MCHAR* s2)
    : MAXScriptException(std::wstring(L"Runtime error: ") + s1 + s2) {}
TypeError::TypeError(const MCHAR* s, Value* v)
    : MAXScriptException(std::wstring(L"Type error: ") + s + (v ? printed(v) : L"")) {}
ConversionError::ConversionError(Value* v, const MCHAR* type_name)
    : MAXScriptException(L"Unable to convert: " + printed(v) + L" to type: " + type_name) {}
NoMethodError::NoMethodError(const MCHAR* fn, Value* v)
    : MAXScriptException(std::wstring(L"No \"\"") + fn + L"\"\" function for " + printed(v)) {}
AccessorError::AccessorError(Value* obj, Value* prop)
    : MAXScriptException(L"Unknown property: \"" + maxhost::mxs::sprinted(prop) + L"\" in " +
                         printed(obj)) {}
ArgCountError::ArgCountError(const MCHAR* fn, int wanted, int got)
    : MAXScriptException(std::wstring(L"Argument count error: ") + fn + L" wanted " +
                         std::to_wstring(wanted) + L", got " + std::to_wstring(got)) {}
UserThrownError::UserThrownError(std::wstring msg, Value* v)
    : MAXScriptException(L"Runtime error: " + msg), thrown(v) {}
UnknownSystemException::UnknownSystemException()
    : MAXScriptException(L"Unknown system exception") {}
