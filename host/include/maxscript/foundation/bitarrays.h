// BitArray values: `#{1..3, 5}`, a growable set of positive indices.
#pragma once

#include <vector>

#include "../kernel/value.h"

extern ScripterExport ValueMetaClass BitArray_class;

class ScripterExport BitArrayValue : public Value {
 public:
  std::vector<bool> bits;  // bits[i] is index i + 1
  BitArrayValue() { tag = &BitArray_class; }
  // "#{1..3, 5}": runs of two or more set bits as ranges.
  void sprin1(CharStream* s) override;
  bool equals(Value* other) override;
  Value* coerce(ValueMetaClass* target) override;
  // .count (read and write), .numberSet, .isEmpty.
  Value* get_property(Value** arg_list, int count) override;
  Value* set_property(Value** arg_list, int count) override;
  // b[i] yields true or false; b[i] = bool sets or clears the bit, growing the array.
  Value* get_vf(Value** arg_list, int count) override;
  Value* put_vf(Value** arg_list, int count) override;
  // The set indices, for `for i in b`.
  Value* iterate_items() override;
  int number_set() const;
};

#define is_bitarray(v) is_kind(v, BitArray)
