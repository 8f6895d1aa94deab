// String values: wide text, compared with regard to case.
#pragma once

#include <string>

#include "../kernel/value.h"

class ScripterExport String : public Value {
 public:
  std::wstring string;
  explicit String(const MCHAR* s);
  explicit String(std::wstring s);
  void sprin1(CharStream* s) override;
  void sprint(CharStream* s) override;
  bool equals(Value* other) override;
  Value* coerce(ValueMetaClass* target) override;
  Value* get_property(Value** arg_list, int count) override;
  Value* get_vf(Value** arg_list, int count) override;
  const MCHAR* to_string() override { return string.c_str(); }
};
