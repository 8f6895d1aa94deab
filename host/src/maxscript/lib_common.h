// What the libraries of built-in functions share: the entry of a library's table, the
// one registration loop, and argument checks that raise the host's error wording.
#pragma once

#include <span>
#include <string>

#include "maxscript/maxscript.h"

namespace maxhost::mxs {

using BuiltinFn = Value* (*)(Value** args, int count);

// One built-in: the global name scripts call it by and the native function.
struct BuiltinEntry {
  const wchar_t* name;
  BuiltinFn fn;
};

// Defines every entry of a table as an assignable global.
void register_library(std::span<const BuiltinEntry> table);

// Each library's table.
std::span<const BuiltinEntry> output_library();
std::span<const BuiltinEntry> arrays_library();
std::span<const BuiltinEntry> strings_library();
std::span<const BuiltinEntry> maths_library();
std::span<const BuiltinEntry> files_library();
std::span<const BuiltinEntry> values_library();
std::span<const BuiltinEntry> materials_library();
// `bit` is an interface global whose properties are its functions.
void register_bit_interface();
// The colour and point class globals, predefined colours and point built-ins.
void register_value_globals();
// The `options` global (lib_output.cpp).
void register_output_globals();
// Globals of the material-library library (currentMaterialLibrary).
void register_material_globals();

// The class of `stringStream` values, a global like the other value classes.
extern ValueMetaClass StringStream_class;

constexpr double kPi = 3.14159265358979323846;

// Exactly `wanted` (or at least `wanted`) positional arguments, else an ArgCountError.
void need_args(const wchar_t* fn, Value** args, int count, int wanted);
void need_min_args(const wchar_t* fn, Value** args, int count, int wanted);

Array* need_array(Value* v);
std::wstring need_string(Value* v);
double need_number(Value* v);
int need_int(Value* v);
Value* make_float(double d);
// A keyword argument as a boolean, dflt when it is not given.
bool key_bool(Value** args, int count, const wchar_t* key, bool dflt);

}  // namespace maxhost::mxs
