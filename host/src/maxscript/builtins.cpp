// The global scope's constants and classes, the argument checks every library shares, and
// the one loop that registers the libraries' tables.
#include <cmath>

#include "base/text.h"
#include "maxscript/engine.h"
#include "maxscript/interp.h"
#include "maxscript/lib_common.h"
#include "maxscript/ops.h"
#include "maxscript/value_numbers.h"

namespace maxhost::mxs {

void need_args(const wchar_t* fn, Value** args, int count, int wanted) {
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
  if (!is_any_number(v)) throw ConversionError(v, L"Float");
  return v->to_double();
}

int need_int(Value* v) {
  if (!is_any_number(v)) throw ConversionError(v, L"Integer");
  return v->to_int();
}

Value* make_float(double d) {
  return new Float(static_cast<float>(d));
}

bool key_bool(Value** args, int count, const wchar_t* key, bool dflt) {
  Value* v = get_key_arg(args, count, key);
  return v == &unsupplied ? dflt : v->to_bool() != 0;
}

void register_library(std::span<const BuiltinEntry> table) {
  for (const BuiltinEntry& entry : table) define_primitive(entry.name, entry.fn);
}

void register_builtins() {
  for (ValueMetaClass* c : {&Integer_class, &Float_class, &String_class, &Name_class, &Array_class,
                            &Boolean_class, &Point3Value_class, &Number_class, &Undefined_class,
                            &Ok_class, &Unsupplied_class, &StringStream_class, &Value_class})
    define_global(FoldCase(c->name), c, true);
  define_global(L"undefined", &undefined, true);
  define_global(L"ok", &ok, true);
  define_global(L"unsupplied", &unsupplied, true);
  define_global(L"true", &true_value, true);
  define_global(L"false", &false_value, true);
  define_global(L"on", &true_value, true);
  define_global(L"off", &false_value, true);
  define_global(L"pi", new Float(static_cast<float>(kPi)), true);
  define_global(L"e", new Float(static_cast<float>(std::exp(1.0))), true);

  register_number_globals();
  register_bit_interface();
  register_output_globals();
  register_material_globals();
  register_value_globals();
  for (auto library : {output_library(), arrays_library(), strings_library(), maths_library(),
                       files_library(), values_library(), materials_library()})
    register_library(library);
}

}  // namespace maxhost::mxs
