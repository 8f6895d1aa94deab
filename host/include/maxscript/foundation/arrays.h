// Arrays: 1-based from script, 0-based from C++.
#pragma once

#include <vector>

#include "../kernel/value.h"

class ScripterExport Array : public Value {
 public:
  std::vector<Value*> data;
  explicit Array(int init_size = 0);
  int count() const { return static_cast<int>(data.size()); }
  Value* append(Value* v);
  // 0-based; &undefined past the end.
  Value* get(int i) const;
  void sprin1(CharStream* s) override;
  void gc_trace() override;
  bool equals(Value* other) override;
  Value* coerce(ValueMetaClass* target) override;
  Value* get_property(Value** arg_list, int count) override;
  Value* set_property(Value** arg_list, int count) override;
  Value* get_vf(Value** arg_list, int count) override;
  Value* put_vf(Value** arg_list, int count) override;
};
