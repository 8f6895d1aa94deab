// Static tables of the stand-in's .NET types, as a scripting library declares its functions:
// each library file lists its classes and enums as constant arrays, and registers them with
// one call. Members are plain functions (captureless lambdas), so the tables hold no state.
//
// Types are named by text: "any", "bool", "int", "int64", "single", "double", "decimal",
// "string", or a registered class; a class name is looked up as the script bridge looks it
// up ("Control" finds System.Windows.Forms.Control). Either may end in "[]" for an array.
// Parameter lists are such names separated by commas ("Control,int,int"; "" for none).
#pragma once

#include <cstdint>
#include <span>

#include "dotnet/object.h"

namespace maxhost::dotnet::table {

struct Property {
  const wchar_t* name;
  const wchar_t* type;
  Value (*get)(Object* self);
  void (*set)(Object* self, const Value& v) = nullptr;  // null: read-only
};

// A property the stand-in keeps on a control without acting on it (cosmetic settings):
// reading gives what was last set, else undefined (or the enum's zero when asked).
struct Setting {
  const wchar_t* name;
  const wchar_t* type;
  bool enumZeroWhenUnset = false;
};

struct Method {
  const wchar_t* name;
  const wchar_t* params;
  Value (*call)(Object* self, const Args& args);
};

// Receives the type being constructed, so that derived types may share a constructor.
struct Constructor {
  const wchar_t* params;
  Value (*make)(const TypeInfo& type, const Args& args);
};

struct Indexer {
  const wchar_t* params;
  Value (*get)(Object* self, const Args& index);
  void (*set)(Object* self, const Args& index, const Value& v) = nullptr;
};

struct StaticProperty {
  const wchar_t* name;
  const wchar_t* type;
  Value (*get)();
};

struct StaticMethod {
  const wchar_t* name;
  const wchar_t* params;
  Value (*call)(const Args& args);
};

// A class. Its name and its base's are full names when they hold a dot, else names in the
// namespace given at registration.
struct Class {
  const wchar_t* name;
  const wchar_t* base = L"System.Object";
  std::span<const Constructor> constructors = {};
  std::span<const Property> properties = {};
  std::span<const Setting> settings = {};
  std::span<const Method> methods = {};
  std::span<const Indexer> indexers = {};
  std::span<const StaticProperty> staticProperties = {};
  std::span<const StaticMethod> staticMethods = {};
  std::span<const wchar_t* const> events = {};
};

struct EnumValue {
  const wchar_t* name;
  int64_t value;
};

struct Enum {
  const wchar_t* name;
  std::span<const EnumValue> members;
  bool flags = false;
};

// Registers in table order: a class may name its own type and any type registered before
// it. An unknown type name is a bug in a table and throws std::logic_error.
void registerEnums(TypeRegistry& reg, const wchar_t* ns, std::span<const Enum> enums);
void registerClasses(TypeRegistry& reg, const wchar_t* ns, std::span<const Class> classes);

TypeRef resolveType(const TypeRegistry& reg, std::wstring_view name);

// Small members that several tables share.
inline constexpr const wchar_t* kFormsNamespace = L"System.Windows.Forms.";
// A value of the System.Windows.Forms enum with the given short name.
Value formsEnum(const std::wstring& shortName, int64_t v);
// A member that yields nothing, and a method that accepts any arguments and does nothing.
inline Value noValue() {
  return Value();
}
inline Value ignoreCall(Object*, const Args&) {
  return Value();
}

}  // namespace maxhost::dotnet::table
