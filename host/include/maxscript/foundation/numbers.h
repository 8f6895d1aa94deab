// Number values: 32-bit integers and single-precision floats, as the language has them.
#pragma once

#include "../kernel/value.h"

class ScripterExport Integer : public Value {
 public:
  int value;
  explicit Integer(int v);
  // A collectable integer (small ones may be shared).
  static Integer* intern(int v);
  void sprin1(CharStream* s) override;
  bool equals(Value* other) override;
  Value* coerce(ValueMetaClass* target) override;
  int to_int() override { return value; }
  float to_float() override { return static_cast<float>(value); }
  double to_double() override { return value; }
  BOOL to_bool() override;
};

class ScripterExport Float : public Value {
 public:
  float value;
  explicit Float(float v);
  static Float* intern(float v);
  void sprin1(CharStream* s) override;
  bool equals(Value* other) override;
  Value* coerce(ValueMetaClass* target) override;
  int to_int() override;
  float to_float() override { return value; }
  double to_double() override { return value; }
};

// A point: `[x, y, z]`, also the colours of colorMan (components 0 to 1).
class ScripterExport Point3Value : public Value {
 public:
  float x, y, z;
  Point3Value(float px, float py, float pz);
  void sprin1(CharStream* s) override;
  bool equals(Value* other) override;
  Value* get_property(Value** arg_list, int count) override;
  Value* set_property(Value** arg_list, int count) override;
  Value* coerce(ValueMetaClass* target) override;
};

extern ScripterExport ValueMetaClass Point2Value_class;

// A point in the plane: the two-component literal `[x, y]` and `point2 x y`.
class ScripterExport Point2Value : public Value {
 public:
  float x, y;
  Point2Value(float px, float py);
  void sprin1(CharStream* s) override;
  bool equals(Value* other) override;
  Value* coerce(ValueMetaClass* target) override;
  Value* get_property(Value** arg_list, int count) override;
  Value* set_property(Value** arg_list, int count) override;
};
