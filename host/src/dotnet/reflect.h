// Helpers for the type tables: typed access to `self` and short property declarations.
#pragma once

#include "dotnet/object.h"

namespace maxhost::dotnet::reflect {

using K = TypeRef::Kind;
inline const TypeRef kAny = TypeRef::any();
inline const TypeRef kBool = TypeRef::of(K::Boolean);
inline const TypeRef kInt = TypeRef::of(K::Int32);
inline const TypeRef kSingle = TypeRef::of(K::Single);
inline const TypeRef kDecimal = TypeRef::of(K::Decimal);
inline const TypeRef kString = TypeRef::of(K::String);

template <class T>
T& as(Object* o) {
  auto* p = dynamic_cast<T*>(o);
  if (!p) throw DotNetError(L"System.InvalidCastException", L"Unexpected target object");
  return *p;
}

template <class T>
void prop(TypeInfo& t, const std::wstring& name, TypeRef type, std::function<Value(T&)> get,
          std::function<void(T&, const Value&)> set = {}) {
  std::function<void(Object*, const Value&)> setter;
  if (set) setter = [set](Object* o, const Value& v) { set(as<T>(o), v); };
  t.property(
      name, type, [get](Object* o) { return get(as<T>(o)); }, setter);
}

template <class T>
void method(TypeInfo& t, const std::wstring& name, std::vector<TypeRef> params,
            std::function<Value(T&, const Args&)> fn) {
  t.method(name, std::move(params), [fn](Object* o, const Args& a) { return fn(as<T>(o), a); });
}

inline Value str(const std::wstring& s) {
  return Value::string(s);
}
inline Value integer(int64_t i) {
  return Value::int32(static_cast<int32_t>(i));
}

// Registers an enum type with its members.
TypeInfo& enumType(TypeRegistry& reg, const std::wstring& name, std::vector<EnumMember> members,
                   bool flags = false);

}  // namespace maxhost::dotnet::reflect
