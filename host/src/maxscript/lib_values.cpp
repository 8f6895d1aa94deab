// Built-ins about values and the engine itself: classOf, isKindOf, hasProperty,
// getProperty, setProperty, execute, gc, getCurrentException, and the message boxes.
#include "maxscript/heap.h"
#include "maxscript/interp.h"
#include "maxscript/lib_common.h"
#include "maxscript/parser.h"
#include "maxscript/values_util.h"

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
