// Colour values: `color r g b [a]`, components 0 to 255 as scripts see them (the host's
// colour parameters hold 0 to 1; the wrappers scale between the two).
#pragma once

#include "../kernel/value.h"

extern ScripterExport ValueMetaClass Color_class;

class ScripterExport ColorValue : public Value {
 public:
  float r, g, b, a;
  // The predefined colours (red, white, ...) refuse property writes.
  bool constant = false;
  ColorValue(float pr, float pg, float pb, float pa = 255.f);
  // "(color r g b)", with the alpha only when it is not 255.
  void sprin1(CharStream* s) override;
  bool equals(Value* other) override;
  Value* coerce(ValueMetaClass* target) override;
  // .r .g .b .a (and .red .green .blue .alpha), .h .s .v (0 to 255, as the host scales them).
  Value* get_property(Value** arg_list, int count) override;
  Value* set_property(Value** arg_list, int count) override;
};

#define is_color(v) is_kind(v, Color)
