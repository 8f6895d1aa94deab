// A small reflective object model with the shape of the .NET runtime that the script
// bridge needs: objects with a type, properties, overloaded methods, indexers, events,
// static members and enums, and boxed values for primitives.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace maxhost::dotnet {

class Object;
class TypeInfo;
using ObjectPtr = std::shared_ptr<Object>;

// Member and type names compare without regard to case, as the script bridge looks them up.
struct NoCaseLess {
  bool operator()(const std::wstring& a, const std::wstring& b) const;
};

// Thrown where .NET throws; `typeName` is the exception class
// ("System.ArgumentOutOfRangeException").
class DotNetError : public std::runtime_error {
 public:
  DotNetError(std::wstring typeName, std::wstring message);
  const std::wstring& typeName() const { return typeName_; }
  const std::wstring& message() const { return message_; }

 private:
  std::wstring typeName_;
  std::wstring message_;
};

[[noreturn]] void throwArgument(const std::wstring& message);
[[noreturn]] void throwOutOfRange(const std::wstring& message);
[[noreturn]] void throwInvalidOperation(const std::wstring& message);

// A boxed .NET value: a primitive, a string, an enum value of a type, an object or null.
class Value {
 public:
  enum class Kind {
    Null,
    Boolean,
    Byte,
    Int16,
    Int32,
    Int64,
    UInt16,
    UInt32,
    Single,
    Double,
    Decimal,
    String,
    Enum,
    Object
  };

  Value() = default;
  static Value null() { return {}; }
  static Value boolean(bool b);
  static Value int32(int32_t i);
  static Value int64(int64_t i);
  static Value integral(Kind kind, int64_t i);
  static Value single(float f);
  static Value real(double d);  // System.Double
  static Value decimal(double d);
  static Value string(std::wstring s);
  static Value enumValue(const TypeInfo& type, int64_t v);
  static Value object(ObjectPtr o);

  Kind kind() const { return kind_; }
  bool isNull() const { return kind_ == Kind::Null; }
  bool isIntegral() const;
  bool isNumeric() const;  // integral, Single, Double or Decimal

  bool asBool() const { return integer_ != 0; }
  int64_t asInt() const;    // numeric values truncated toward zero; enums give their value
  double asDouble() const;  // numeric values
  const std::wstring& asString() const { return string_; }
  const TypeInfo* enumType() const { return enumType_; }
  const ObjectPtr& asObject() const { return object_; }
  template <class T>
  std::shared_ptr<T> as() const {
    return std::dynamic_pointer_cast<T>(object_);
  }

  // The type that GetType() would answer: primitive types by their System name.
  std::wstring typeName() const;
  // What ToString() gives.
  std::wstring toString() const;

 private:
  Kind kind_ = Kind::Null;
  int64_t integer_ = 0;
  double real_ = 0.0;
  std::wstring string_;
  const TypeInfo* enumType_ = nullptr;
  ObjectPtr object_;
};

// Object.Equals: value equality for primitives, enums and value types; identity otherwise.
bool valuesEqual(const Value& a, const Value& b);

// A declared parameter or property type, used to convert and to pick overloads.
struct TypeRef {
  enum class Kind { Any, Boolean, Int32, Int64, Single, Double, Decimal, String, Class, Array };
  Kind kind = Kind::Any;
  const TypeInfo* cls = nullptr;  // Class (enums are classes too) and Array element class
  Kind element = Kind::Any;       // Array element kind

  static TypeRef any() { return {}; }
  static TypeRef of(Kind k) { return {k, nullptr, Kind::Any}; }
  static TypeRef classOf(const TypeInfo& t) { return {Kind::Class, &t, Kind::Any}; }
  static TypeRef arrayOf(Kind element, const TypeInfo* cls = nullptr) {
    return {Kind::Array, cls, element};
  }
};

// Converts `v` to `type` as a .NET call would bind it; the score ranks overloads (higher is
// closer, negative means the value does not fit).
int conversionScore(const Value& v, const TypeRef& type);
Value convert(const Value& v, const TypeRef& type);  // throws System.ArgumentException

using Args = std::vector<Value>;

// A callable bound to a target: receives the target (null for statics) and converted args.
using Invoker = std::function<Value(Object* self, const Args& args)>;

struct MethodInfo {
  std::vector<TypeRef> params;
  Invoker invoke;
};

struct PropertyInfo {
  TypeRef type;
  std::function<Value(Object* self)> get;
  std::function<void(Object* self, const Value& v)> set;  // empty when read-only
};

// Indexed property ("Item"): getter and setter take the index arguments.
struct IndexerInfo {
  std::vector<MethodInfo> get;
  std::function<void(Object* self, const Args& index, const Value& v)> set;
};

struct EnumMember {
  std::wstring name;
  int64_t value;
};

class TypeInfo {
 public:
  TypeInfo(std::wstring fullName, const TypeInfo* base);

  const std::wstring& fullName() const { return fullName_; }
  std::wstring shortName() const;
  const TypeInfo* base() const { return base_; }
  bool derivesFrom(const TypeInfo& other) const;

  // Members are searched in this type, then its bases.
  const PropertyInfo* findProperty(const std::wstring& name) const;
  const std::vector<MethodInfo>* findMethods(const std::wstring& name) const;
  const IndexerInfo* findIndexer() const;
  bool hasEvent(const std::wstring& name) const;
  const PropertyInfo* findStaticProperty(const std::wstring& name) const;
  const std::vector<MethodInfo>* findStaticMethods(const std::wstring& name) const;
  const std::vector<MethodInfo>& constructors() const { return constructors_; }
  std::vector<std::wstring> propertyNames() const;
  std::vector<std::wstring> methodNames() const;
  std::vector<std::wstring> eventNames() const;

  // Enums: members, flags, and the name of a value ("Left", "Control, Shift" for flags).
  bool isEnum() const { return isEnum_; }
  bool isFlags() const { return isFlags_; }
  const std::vector<EnumMember>& enumMembers() const { return enumMembers_; }
  std::wstring enumName(int64_t value) const;

  // Registration.
  TypeInfo& property(const std::wstring& name, TypeRef type, std::function<Value(Object*)> get,
                     std::function<void(Object*, const Value&)> set = {});
  TypeInfo& method(const std::wstring& name, std::vector<TypeRef> params, Invoker fn);
  TypeInfo& indexer(std::vector<TypeRef> params, Invoker get,
                    std::function<void(Object*, const Args&, const Value&)> set = {});
  TypeInfo& event(const std::wstring& name);
  TypeInfo& staticProperty(const std::wstring& name, TypeRef type, std::function<Value()> get,
                           std::function<void(const Value&)> set = {});
  TypeInfo& staticMethod(const std::wstring& name, std::vector<TypeRef> params, Invoker fn);
  TypeInfo& constructor(std::vector<TypeRef> params, Invoker fn);
  TypeInfo& enumeration(std::vector<EnumMember> members, bool flags);

 private:
  std::wstring fullName_;
  const TypeInfo* base_;
  std::map<std::wstring, PropertyInfo, NoCaseLess> properties_;
  std::map<std::wstring, std::vector<MethodInfo>, NoCaseLess> methods_;
  std::vector<IndexerInfo> indexer_;  // zero or one
  std::map<std::wstring, bool, NoCaseLess> events_;
  std::map<std::wstring, PropertyInfo, NoCaseLess> staticProperties_;
  std::map<std::wstring, std::vector<MethodInfo>, NoCaseLess> staticMethods_;
  std::vector<MethodInfo> constructors_;
  bool isEnum_ = false;
  bool isFlags_ = false;
  std::vector<EnumMember> enumMembers_;
};

// Every type the stand-in offers, by full name. Built once, on first use.
class TypeRegistry {
 public:
  static TypeRegistry& instance();
  // Exact full name, without regard to case.
  const TypeInfo* find(const std::wstring& fullName) const;
  // As the script bridge looks names up: the name as given, then with "System." and
  // "System.Windows.Forms." in front.
  const TypeInfo* lookup(const std::wstring& name) const;
  // The registered type of this full name; throws when it is missing (a registration bug).
  const TypeInfo& get(const std::wstring& fullName) const;
  TypeInfo& add(const std::wstring& fullName, const std::wstring& baseName = L"System.Object");

 private:
  TypeRegistry();
  std::map<std::wstring, std::unique_ptr<TypeInfo>, NoCaseLess> types_;
};

inline const TypeInfo& typeNamed(const std::wstring& fullName) {
  return TypeRegistry::instance().get(fullName);
}

// An event subscriber. The bridge subclasses it to hold script functions.
class EventHandler {
 public:
  virtual ~EventHandler() = default;
  virtual void invoke(const ObjectPtr& sender, const ObjectPtr& args) = 0;
};
using EventHandlerPtr = std::shared_ptr<EventHandler>;

class FunctionHandler : public EventHandler {
 public:
  using Fn = std::function<void(const ObjectPtr& sender, const ObjectPtr& args)>;
  explicit FunctionHandler(Fn fn) : fn_(std::move(fn)) {}
  void invoke(const ObjectPtr& sender, const ObjectPtr& args) override { fn_(sender, args); }

 private:
  Fn fn_;
};

class Object : public std::enable_shared_from_this<Object> {
 public:
  explicit Object(const TypeInfo& type) : type_(&type) {}
  Object(const Object&) = delete;
  Object& operator=(const Object&) = delete;
  virtual ~Object() = default;

  const TypeInfo& type() const { return *type_; }
  virtual std::wstring toString() const { return type_->fullName(); }
  virtual bool equals(const Object& other) const { return this == &other; }
  // Gone for good (a disposed control or a closed form); its handlers are no longer roots.
  virtual bool isDisposed() const { return false; }
  // Every value the object holds (children, items, Tag...), for walks over the object graph.
  virtual void forEachHeld(const std::function<void(const Value&)>& visit) const;

  // Events, by name without regard to case. Raising passes this object as the sender.
  void addHandler(const std::wstring& event, EventHandlerPtr handler);
  void removeHandler(const std::wstring& event, const EventHandlerPtr& handler);
  void raise(const std::wstring& event, const ObjectPtr& args);
  bool hasHandlers(const std::wstring& event) const;
  void forEachHandler(const std::function<void(const EventHandlerPtr&)>& visit) const;

  ObjectPtr self() { return shared_from_this(); }

 private:
  const TypeInfo* type_;
  std::map<std::wstring, std::vector<EventHandlerPtr>, NoCaseLess> handlers_;
};

// Reflective access as the bridge performs it. Names are looked up without regard to case;
// a missing member throws System.MissingMemberException.
Value getProperty(const Value& target, const std::wstring& name);
void setProperty(const Value& target, const std::wstring& name, const Value& v);
Value callMethod(const Value& target, const std::wstring& name, const Args& args);
Value getIndexed(const Value& target, const Args& index);
void setIndexed(const Value& target, const Args& index, const Value& v);
Value getStatic(const TypeInfo& type, const std::wstring& name);
void setStatic(const TypeInfo& type, const std::wstring& name, const Value& v);
Value callStatic(const TypeInfo& type, const std::wstring& name, const Args& args);
Value construct(const TypeInfo& type, const Args& args);
bool hasMethod(const Value& target, const std::wstring& name);
bool hasStaticMethod(const TypeInfo& type, const std::wstring& name);
// Picks the overload that fits best and calls it with converted arguments.
Value invokeOverload(const std::vector<MethodInfo>& overloads, Object* self, const Args& args,
                     const std::wstring& what);

// A .NET array: an element type and boxed elements.
class Array : public Object {
 public:
  explicit Array(TypeRef element, std::vector<Value> items = {});
  const TypeRef& elementType() const { return element_; }
  std::vector<Value>& items() { return items_; }
  const std::vector<Value>& items() const { return items_; }
  void forEachHeld(const std::function<void(const Value&)>& visit) const override;

 private:
  TypeRef element_;
  std::vector<Value> items_;
};

// Plain event argument objects.
class EventArgs : public Object {
 public:
  EventArgs();
  explicit EventArgs(const TypeInfo& type) : Object(type) {}
};

class CancelEventArgs : public EventArgs {
 public:
  CancelEventArgs();
  explicit CancelEventArgs(const TypeInfo& type) : EventArgs(type) {}
  bool cancel = false;
};

}  // namespace maxhost::dotnet
