// Global variable cells.
#pragma once

#include "../kernel/value.h"

class ScripterExport GlobalThunk : public Value {
 public:
  Value* name;
  Value* cell;
  GlobalThunk(Value* name, Value* init = &undefined);
  void gc_trace() override;
  void sprin1(CharStream* s) override;
};

// A global that scripts cannot assign (built-in functions and constants).
class ScripterExport ConstGlobalThunk : public GlobalThunk {
 public:
  ConstGlobalThunk(Value* name, Value* init);
};

#define is_globalthunk(v) ((v)->tag == &GlobalThunk_class)
#define is_constglobalthunk(v) ((v)->tag == &ConstGlobalThunk_class)
