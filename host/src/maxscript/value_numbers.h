// The wider numbers and animation time: Integer64 (`5L`), Double (`1.5d0`) and Time (`10f`,
// `2:10.0`), with the arithmetic, comparisons and conversions they share with Integer and
// Float.
#pragma once

#include <cstdint>
#include <string>

#include "maxscript/maxscript.h"

namespace maxhost::mxs {

extern ValueMetaClass Integer64_class;
extern ValueMetaClass Double_class;
extern ValueMetaClass Time_class;

// A 64-bit integer; prints with its L suffix.
class Integer64Value : public Value {
 public:
  std::int64_t value;
  explicit Integer64Value(std::int64_t v);
  void sprin1(CharStream* s) override;
  bool equals(Value* other) override;
  Value* coerce(ValueMetaClass* target) override;
  int to_int() override;
  float to_float() override { return static_cast<float>(value); }
  double to_double() override { return static_cast<double>(value); }
};

// A double-precision float; prints with a d exponent (1.5d0).
class DoubleValue : public Value {
 public:
  double value;
  explicit DoubleValue(double v);
  void sprin1(CharStream* s) override;
  bool equals(Value* other) override;
  Value* coerce(ValueMetaClass* target) override;
  int to_int() override;
  float to_float() override { return static_cast<float>(value); }
  double to_double() override { return value; }
};

// Animation time in ticks (4800 a second, 160 a frame at the default 30 frames a second);
// numbers mixed with times count frames. Prints in frames: 10f, 18.25f, 1.34218e+07f.
class TimeValue : public Value {
 public:
  static constexpr int kTicksPerFrame = 160;
  std::int64_t ticks;
  explicit TimeValue(std::int64_t t);
  static TimeValue* from_frames(double frames);
  double frames() const { return static_cast<double>(ticks) / kTicksPerFrame; }
  void sprin1(CharStream* s) override;
  bool equals(Value* other) override;
  Value* coerce(ValueMetaClass* target) override;
  // .frame (a Float) and .ticks (an Integer).
  Value* get_property(Value** arg_list, int count) override;
  int to_int() override;
  float to_float() override { return static_cast<float>(frames()); }
  double to_double() override { return frames(); }
};

// Integer, Float, Integer64 or Double.
bool is_any_number(Value* v);
// An operand of these classes, or a Time, on either side of an operator.
bool is_wide_operand(Value* v);

// Arithmetic (+ - * / ^) and ordering where one side is an Integer64, a Double or a Time.
// The result takes the wider class: Double over Float over Integer64 over Integer, and a
// Time stays a Time when scaled or shifted by numbers.
Value* wide_arithmetic(wchar_t op, Value* a, Value* b);
int wide_compare(const std::wstring& op, Value* a, Value* b);
Value* wide_negate(Value* v);
// `n as Integer64`, `as Double`, `as Time`, and these values as the narrower classes;
// nullptr when the conversion does not apply.
Value* convert_number(Value* v, ValueMetaClass* target);

// The literals as written: "5L" (decimal digits then L), "1.5d0".
Value* integer64_literal(const std::wstring& text);
Value* double_literal(const std::wstring& text);

// Registers the class globals Integer64, Double and Time.
void register_number_globals();

}  // namespace maxhost::mxs
