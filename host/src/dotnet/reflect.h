// Helpers for the type tables: typed access to `self` and short value constructors.
#pragma once

#include "dotnet/object.h"

namespace maxhost::dotnet::reflect {

inline const TypeRef kString = TypeRef::of(TypeRef::Kind::String);

template <class T>
T& as(Object* o) {
  auto* p = dynamic_cast<T*>(o);
  if (!p) throw DotNetError(L"System.InvalidCastException", L"Unexpected target object");
  return *p;
}

inline Value str(const std::wstring& s) {
  return Value::string(s);
}
inline Value integer(int64_t i) {
  return Value::int32(static_cast<int32_t>(i));
}

}  // namespace maxhost::dotnet::reflect
