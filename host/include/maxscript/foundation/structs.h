// Struct definitions and instances; fields by name, member functions bound on access.
#pragma once

#include <vector>

#include "../kernel/value.h"

class ScripterExport StructDef : public Value {
 public:
  Value* name = nullptr;
  std::vector<Value*> member_names;  // Name*, in declaration order
  StructDef();
  int member_index(Value* name) const;
};

class ScripterExport Struct : public Value {
 public:
  StructDef* definition;
  std::vector<Value*> members;  // parallel to definition->member_names
  explicit Struct(StructDef* def);
  void sprin1(CharStream* s) override;
  void gc_trace() override;
  Value* get_property(Value** arg_list, int count) override;
  Value* set_property(Value** arg_list, int count) override;
  Value* classOf() override { return definition; }
};
