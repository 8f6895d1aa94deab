// Operators and conversions shared by the evaluator and the built-ins.
#pragma once

#include <memory>
#include <string>

#include "maxscript/ast.h"
#include "maxscript/maxscript.h"

namespace maxhost::mxs {

// op: + - * / ^ == != < <= > >=
Value* binary_op(const std::wstring& op, Value* a, Value* b);
Value* negate_value(Value* v);
bool values_equal(Value* a, Value* b);
// Ordering for sort: numbers numerically, strings and names by text.
int compare_values(Value* a, Value* b);
// Items of a collection for `for ... in` (Array, or anything with count and indexing).
Array* iterable_items(Value* v);

// Channel-wise arithmetic of a Color (a) with a number, Color or Point3, and of a Point2
// with a Point2 or number (value_color.cpp).
Value* color_arithmetic(wchar_t op, Value* a, Value* b);
Value* point2_arithmetic(wchar_t op, Value* a, Value* b);

// BitArray union (+), intersection (*) and difference (-), the inverse, and an array of
// indices as a BitArray (value_bitarray.cpp).
Value* bitarray_op(wchar_t op, Value* a, Value* b);
Value* bitarray_invert(Value* a);
Value* bitarray_from_array(Array* a);

// A host class (map or texture class) by script name, or nullptr (wrappers.cpp).
Value* find_host_class(const std::wstring& name);

// The program whose code is running, for function values that keep its tree.
std::shared_ptr<const Program> g_program_ref();

}  // namespace maxhost::mxs
