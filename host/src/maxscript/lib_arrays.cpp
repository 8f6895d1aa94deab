// Array built-ins: append, deleteItem, findItem, join, insertItem, sort, makeUniqueArray,
// appendIfUnique, copy, deepCopy, amax and amin. append, deleteItem and join also work on
// strings and on the list parameters of host objects.
#include <algorithm>

#include "maxscript/collection.h"
#include "maxscript/heap.h"
#include "maxscript/interp.h"
#include "maxscript/lib_common.h"
#include "maxscript/ops.h"

namespace maxhost::mxs {
namespace {

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
  if (is_struct(v))
    return clone_struct(static_cast<Struct*>(v), [deep, depth](Value* m) {
      return deep ? copy_value(m, true, depth + 1) : m;
    });
  if (is_bitarray(v)) {
    auto* b = new BitArrayValue();
    b->bits = static_cast<BitArrayValue*>(v)->bits;
    return b;
  }
  return v;
}

Value* fn_copy(Value** a, int n) {
  need_args(L"copy", a, n, 1);
  return copy_value(a[0], false, 0);
}

Value* fn_deep_copy(Value** a, int n) {
  need_args(L"deepCopy", a, n, 1);
  return copy_value(a[0], true, 0);
}

// The largest or smallest of the arguments, or of the one array argument's items.
Value* extreme(Value** a, int n, bool want_max) {
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

Value* fn_amax(Value** a, int n) {
  return extreme(a, n, true);
}

Value* fn_amin(Value** a, int n) {
  return extreme(a, n, false);
}

}  // namespace

static const BuiltinEntry kArraysLibrary[] = {
    {L"append", fn_append},
    {L"deleteItem", fn_delete_item},
    {L"findItem", fn_find_item},
    {L"join", fn_join},
    {L"insertItem", fn_insert_item},
    {L"sort", fn_sort},
    {L"makeUniqueArray", fn_make_unique},
    {L"appendIfUnique", fn_append_if_unique},
    {L"copy", fn_copy},
    {L"deepCopy", fn_deep_copy},
    {L"amax", fn_amax},
    {L"amin", fn_amin},
};

std::span<const BuiltinEntry> arrays_library() {
  return kArraysLibrary;
}

}  // namespace maxhost::mxs
