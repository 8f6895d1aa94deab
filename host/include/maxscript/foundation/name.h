// Names (`#foo`, identifiers): interned without regard to case, so equal names are the
// same object; the spelling of the first interning is kept for printing.
#pragma once

#include <string>

#include "../kernel/value.h"

class ScripterExport Name : public Value {
 public:
  std::wstring string;
  static Value* intern(const MCHAR* s);
  static Name* intern_name(const std::wstring& s);
  void sprin1(CharStream* s) override;
  void sprint(CharStream* s) override;
  Value* coerce(ValueMetaClass* target) override;
  const MCHAR* to_string() override { return string.c_str(); }

 private:
  explicit Name(std::wstring s);
};

#define n_name(s) Name::intern(_M(s))
