// Callable values: native primitives and script-defined functions.
#pragma once

#include <functional>
#include <string>

#include "../kernel/value.h"

// A native function. arg_list follows the keyword convention of value.h.
class ScripterExport Primitive : public Value {
 public:
  using Fn = std::function<Value*(Value** arg_list, int count)>;
  std::wstring name;
  Fn fn;
  Primitive(const MCHAR* n, Fn f);
  void sprin1(CharStream* s) override;
  Value* apply(Value** arglist, int count, CallContext* cc = nullptr) override;
};

// Script-defined functions are created by the evaluator; this is their common base.
class ScripterExport MAXScriptFunction : public Value {
 public:
  std::wstring name;
  MAXScriptFunction();
  void sprin1(CharStream* s) override;
};
