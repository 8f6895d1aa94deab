// Built-ins about values and the engine itself: classOf, isKindOf, hasProperty,
// getProperty, setProperty, execute, gc, getCurrentException, and the message boxes.
#include "maxscript/heap.h"
#include "maxscript/interp.h"
#include "maxscript/lib_common.h"
#include "maxscript/parser.h"
#include "maxscript/values_util.h"
#include "maxscript/wrappers_params.h"
#include "maxscript/engine.h"

#include <windows.h>

namespace maxhost::mxs {
namespace {

Value* fn_class_of(Value** a, int n) {
  need_args(L"classOf", a, n, 1);
  return a[0]->classOf();
}

Value* fn_super_class_of(Value** a, int n) {
  need_args(L"superClassOf", a, n, 1);
  return a[0]->superClassOf();
}

// `  .name : type` for each property, to the listener or a `to:` stream; true when the
// value has properties to show.
Value* fn_show_properties(Value** a, int n) {
  need_min_args(L"showProperties", a, n, 1);
  std::vector<PropertyEntry> props;
  if (!list_properties(a[0], props)) return &false_value;
  std::wstring text;
  for (const PropertyEntry& p : props) text += L"  ." + p.name + L" : " + p.type + L"\n";
  Value* to = get_key_arg(a, n, L"to");
  if (to == &unsupplied || to == &undefined) {
    write_output(text);
  } else {
    // Streams are written as format writes them (a format without % copies its text).
    TempRoots roots;
    Value* call[4] = {roots.add(new String(text)), &keyarg_marker, Name::intern(L"to"), to};
    global_value(L"format")->apply(call, 4);
  }
  return bool_result(!props.empty());
}

// A struct instance's members in declaration order (functions too); a host object's
// parameters and interface properties.
Value* fn_get_prop_names(Value** a, int n) {
  need_min_args(L"getPropNames", a, n, 1);
  if (is_struct(a[0])) {
    const auto& names = static_cast<Struct*>(a[0])->definition->member_names;
    TempRoots roots;
    auto* out = new Array(static_cast<int>(names.size()));
    roots.add(out);
    for (Value* m : names) out->append(m);
    return out;
  }
  std::vector<PropertyEntry> props;
  list_properties(a[0], props);
  TempRoots roots;
  auto* out = new Array(static_cast<int>(props.size()));
  roots.add(out);
  for (const PropertyEntry& p : props) out->append(Name::intern(p.name.c_str()));
  return out;
}

Value* fn_is_kind_of(Value** a, int n) {
  need_args(L"isKindOf", a, n, 2);
  Value* c = a[1];
  if (a[0]->classOf() == c) return &true_value;
  return bool_result(c->tag == &Class_class && a[0]->is_kind_of(static_cast<ValueMetaClass*>(c)));
}

Value* message_box(Value** a, int n, bool query) {
  need_args(query ? L"queryBox" : L"messageBox", a, n, 1);
  std::wstring text = sprinted(a[0]);
  Value* title = get_key_arg(a, n, L"title");
  std::wstring caption = title == &unsupplied ? L"MAXScript" : sprinted(title);
  int r = MessageBoxW(nullptr, text.c_str(), caption.c_str(),
                      query ? MB_YESNO | MB_ICONQUESTION : MB_OK | MB_ICONEXCLAMATION);
  if (query) return bool_result(r == IDYES);
  return &ok;
}

Value* fn_message_box(Value** a, int n) {
  return message_box(a, n, false);
}

Value* fn_query_box(Value** a, int n) {
  return message_box(a, n, true);
}

Value* fn_gc(Value**, int) {
  collect();
  return &ok;
}

Value* fn_get_current_exception(Value**, int) {
  Value* e = thread_state().current_exception;
  return e ? e : &undefined;
}

Value* fn_execute(Value** a, int n) {
  need_args(L"execute", a, n, 1);
  ParseResult r = parse_program(need_string(a[0]), L"");
  if (!r.errors.empty()) throw MAXScriptException(L"Syntax error: " + r.errors.front().message);
  return eval_program(r.program);
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

Value* fn_get_property(Value** a, int n) {
  need_args(L"getProperty", a, n, 2);
  Value* prop = Name::intern(need_string(a[1]).c_str());
  return a[0]->get_property(&prop, 1);
}

Value* fn_set_property(Value** a, int n) {
  need_args(L"setProperty", a, n, 3);
  Value* args[2] = {a[2], Name::intern(need_string(a[1]).c_str())};
  return a[0]->set_property(args, 2);
}

}  // namespace

static const BuiltinEntry kValuesLibrary[] = {
    {L"classOf", fn_class_of},
    {L"superClassOf", fn_super_class_of},
    {L"isKindOf", fn_is_kind_of},
    {L"showProperties", fn_show_properties},
    {L"getPropNames", fn_get_prop_names},
    {L"messageBox", fn_message_box},
    {L"queryBox", fn_query_box},
    {L"gc", fn_gc},
    {L"getCurrentException", fn_get_current_exception},
    {L"execute", fn_execute},
    {L"hasProperty", fn_has_property},
    {L"isProperty", fn_has_property},
    {L"getProperty", fn_get_property},
    {L"setProperty", fn_set_property},
};

std::span<const BuiltinEntry> values_library() {
  return kValuesLibrary;
}

}  // namespace maxhost::mxs
