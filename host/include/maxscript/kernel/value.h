// Script values: the base class every script value derives from, the class tags, the
// shared constants and the keyword-argument convention of native functions.
//
// Collectable values are allocated with `new` (Value::operator new tracks them); the
// collector frees every tracked value that no root reaches. Constants (undefined, ok,
// true_value, ...) and class tags are static and never collected.
#pragma once

#include <cstddef>
#include <string>

#include "../../maxtypes.h"

#ifndef ScripterExport
#define ScripterExport MAXHOST_VISIBLE
#endif

class Value;
class ValueMetaClass;
class ReferenceTarget;
class Name;

// Receives printed text.
class ScripterExport CharStream {
 public:
  virtual ~CharStream();
  virtual void puts(const MCHAR* s) = 0;
  void printf(const MCHAR* format, ...);
};

// Collects printed text in memory.
class ScripterExport StringCharStream : public CharStream {
 public:
  std::wstring text;
  void puts(const MCHAR* s) override { text += s; }
};

// Call options; unused by the stand-in, kept for signature compatibility.
class ScripterExport CallContext {
 public:
  virtual ~CallContext();
};

class ScripterExport Value {
 public:
  ValueMetaClass* tag;

  Value();
  virtual ~Value();
  Value(const Value&) = delete;
  Value& operator=(const Value&) = delete;

  // Heap values are tracked for the collector.
  static void* operator new(std::size_t size);
  static void operator delete(void* p);

  // Printed form as `print` shows it (strings quoted).
  virtual void sprin1(CharStream* s);
  // Form used by `format` and `as string` (strings unquoted); defaults to sprin1.
  virtual void sprint(CharStream* s);

  // Marks every value this one refers to, with Value::gc_mark(child).
  virtual void gc_trace();

  // Call. arglist holds the positional arguments, then optionally &keyarg_marker
  // followed by (Name*, Value*) pairs.
  virtual Value* apply(Value** arglist, int count, CallContext* cc = nullptr);

  // Property read: arg_list[0] is the property Name. Throws when unknown.
  virtual Value* get_property(Value** arg_list, int count);
  // Property write: arg_list[0] is the new value, arg_list[1] the property Name.
  virtual Value* set_property(Value** arg_list, int count);
  // Index read (arg_list[0] = index) and write (arg_list[0] = index, arg_list[1] = value).
  virtual Value* get_vf(Value** arg_list, int count);
  virtual Value* put_vf(Value** arg_list, int count);

  // `==` between values of the same or different classes; default is identity.
  virtual bool equals(Value* other);
  // `as` conversion; nullptr when this value cannot become the class.
  virtual Value* coerce(ValueMetaClass* target);
  // The class value `classOf` answers; defaults to the tag.
  virtual Value* classOf();
  // The class `superClassOf` answers: the tag's base class (Number for numbers), else Value.
  virtual Value* superClassOf();
  virtual bool is_kind_of(ValueMetaClass* c);
  // The items a `for ... in` loop visits, as an Array; nullptr when this is no collection.
  virtual Value* iterate_items();

  // Conversions for native code; they throw a conversion error when impossible.
  virtual int to_int();
  virtual float to_float();
  virtual double to_double();
  virtual const MCHAR* to_string();
  virtual BOOL to_bool();
  virtual ReferenceTarget* to_reftarg();

  // Printed form as a string (sprin1).
  std::wstring to_printed();

  // Keeps the value (and what it reaches) alive until make_collectable. Returns the
  // value to hold: the value itself in this engine.
  Value* make_heap_permanent();
  void make_collectable();
  bool is_permanent() const { return permanent_count_ > 0; }
  bool is_collectable() const { return heap_; }

  // Marks a value reachable during a collection (safe on nullptr and static values).
  static void gc_mark(Value* v);

 private:
  friend class MaxScriptHeap;
  bool heap_;
  bool marked_;
  int permanent_count_;
};

// Class tag and class value (`Integer`, `Array`, ...). Static, never collected.
class ScripterExport ValueMetaClass : public Value {
 public:
  const MCHAR* name;
  ValueMetaClass* base;
  // Calling the class (`color 1 2 3`, `point2 1 2`) constructs a value through this; a
  // class without one cannot be called.
  Value* (*construct)(Value** arg_list, int count) = nullptr;
  explicit ValueMetaClass(const MCHAR* n, ValueMetaClass* base_class = nullptr);
  void sprin1(CharStream* s) override;
  Value* apply(Value** arg_list, int count, CallContext* cc = nullptr) override;
  bool is_kind_of(ValueMetaClass* c) override;
};

#define class_tag(c) (&c##_class)
#define is_kind(v, c) ((v) != nullptr && (v)->tag == class_tag(c))

extern ScripterExport ValueMetaClass Value_class;
extern ScripterExport ValueMetaClass Class_class;
extern ScripterExport ValueMetaClass Undefined_class;
extern ScripterExport ValueMetaClass Ok_class;
extern ScripterExport ValueMetaClass Unsupplied_class;
extern ScripterExport ValueMetaClass Boolean_class;
extern ScripterExport ValueMetaClass Number_class;
extern ScripterExport ValueMetaClass Integer_class;
extern ScripterExport ValueMetaClass Float_class;
extern ScripterExport ValueMetaClass String_class;
extern ScripterExport ValueMetaClass Name_class;
extern ScripterExport ValueMetaClass Array_class;
extern ScripterExport ValueMetaClass Point3Value_class;
extern ScripterExport ValueMetaClass HashTable_class;
extern ScripterExport ValueMetaClass GlobalThunk_class;
extern ScripterExport ValueMetaClass ConstGlobalThunk_class;
extern ScripterExport ValueMetaClass MAXScriptFunction_class;
extern ScripterExport ValueMetaClass Primitive_class;
extern ScripterExport ValueMetaClass StructDef_class;
extern ScripterExport ValueMetaClass Struct_class;
extern ScripterExport ValueMetaClass MAXWrapper_class;
extern ScripterExport ValueMetaClass MAXClass_class;

// The shared constants.
class ScripterExport Undefined : public Value {
 public:
  Undefined();
  void sprin1(CharStream* s) override;
  Value* coerce(ValueMetaClass* target) override;
};
class ScripterExport Ok : public Value {
 public:
  Ok();
  void sprin1(CharStream* s) override;
};
class ScripterExport Unsupplied : public Value {
 public:
  Unsupplied();
  void sprin1(CharStream* s) override;
};
class ScripterExport Boolean : public Value {
 public:
  explicit Boolean(bool v);
  const bool value;
  void sprin1(CharStream* s) override;
  BOOL to_bool() override { return value ? TRUE : FALSE; }
  Value* coerce(ValueMetaClass* target) override;
};
// Separates positional from keyword arguments in an argument list.
class ScripterExport KeyArgMarker : public Value {
 public:
  KeyArgMarker();
};

extern ScripterExport Undefined undefined;
extern ScripterExport Ok ok;
extern ScripterExport Unsupplied unsupplied;
extern ScripterExport Boolean true_value;
extern ScripterExport Boolean false_value;
extern ScripterExport KeyArgMarker keyarg_marker;

inline Value* bool_result(bool b) {
  return b ? static_cast<Value*>(&true_value) : &false_value;
}

// Keyword arguments of a native call: the positional count, and the value given for a
// keyword (&unsupplied when absent). key may be a Name or anything naming one.
ScripterExport int positional_arg_count(Value** arg_list, int count);
ScripterExport Value* _get_key_arg(Value** arg_list, int count, Value* key);
ScripterExport Value* get_key_arg(Value** arg_list, int count, const MCHAR* key);

#define is_undefined(v) ((v) == &undefined)
#define is_unsupplied(v) ((v) == &unsupplied)
#define is_integer(v) is_kind(v, Integer)
#define is_float(v) is_kind(v, Float)
#define is_number(v) (is_integer(v) || is_float(v))
#define is_string(v) is_kind(v, String)
#define is_name(v) is_kind(v, Name)
#define is_array(v) is_kind(v, Array)
#define is_bool(v) is_kind(v, Boolean)
#define is_struct(v) is_kind(v, Struct)
#define is_function(v) (is_kind(v, MAXScriptFunction) || is_kind(v, Primitive))
