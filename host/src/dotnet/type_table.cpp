#include "dotnet/type_table.h"

#include <stdexcept>

#include "base/text.h"
#include "dotnet/controls.h"
#include "dotnet/reflect.h"

namespace maxhost::dotnet::table {
namespace {

using K = TypeRef::Kind;

std::wstring fullName(const wchar_t* ns, const wchar_t* name) {
  const std::wstring_view n(name);
  return n.find(L'.') == std::wstring_view::npos ? ns + std::wstring(n) : std::wstring(n);
}

bool primitive(std::wstring_view name, K& kind) {
  static constexpr struct {
    const wchar_t* name;
    K kind;
  } kPrimitives[] = {{L"any", K::Any},         {L"bool", K::Boolean},  {L"int", K::Int32},
                     {L"int64", K::Int64},     {L"single", K::Single}, {L"double", K::Double},
                     {L"decimal", K::Decimal}, {L"string", K::String}};
  for (const auto& p : kPrimitives) {
    if (name != p.name) continue;
    kind = p.kind;
    return true;
  }
  return false;
}

const TypeInfo& classNamed(const TypeRegistry& reg, std::wstring_view name) {
  if (const TypeInfo* t = reg.lookup(std::wstring(name))) return *t;
  throw std::logic_error("type table names an unregistered type: " + Utf8FromWide(name));
}

std::vector<TypeRef> resolveParams(const TypeRegistry& reg, std::wstring_view list) {
  std::vector<TypeRef> out;
  while (!list.empty()) {
    const size_t comma = list.find(L',');
    out.push_back(resolveType(reg, list.substr(0, comma)));
    if (comma == std::wstring_view::npos) break;
    list.remove_prefix(comma + 1);
  }
  return out;
}

void addMembers(TypeRegistry& reg, TypeInfo& t, const Class& c) {
  for (const Constructor& k : c.constructors) {
    auto make = k.make;
    const TypeInfo* type = &t;
    t.constructor(resolveParams(reg, k.params),
                  [make, type](Object*, const Args& a) { return make(*type, a); });
  }
  for (const Property& p : c.properties) {
    std::function<void(Object*, const Value&)> set;
    if (p.set) set = p.set;
    t.property(p.name, resolveType(reg, p.type), p.get, set);
  }
  for (const Setting& s : c.settings) {
    const std::wstring key = s.name;
    const TypeRef type = resolveType(reg, s.type);
    const bool zero = s.enumZeroWhenUnset && type.cls && type.cls->isEnum();
    t.property(
        key, type,
        [key, type, zero](Object* o) {
          auto& settings = reflect::as<Control>(o).settings;
          auto it = settings.find(key);
          if (it != settings.end()) return it->second;
          return zero ? Value::enumValue(*type.cls, 0) : Value();
        },
        [key](Object* o, const Value& v) { reflect::as<Control>(o).settings[key] = v; });
  }
  for (const Method& m : c.methods) t.method(m.name, resolveParams(reg, m.params), m.call);
  for (const Indexer& i : c.indexers) {
    std::function<void(Object*, const Args&, const Value&)> set;
    if (i.set) set = i.set;
    t.indexer(resolveParams(reg, i.params), i.get, set);
  }
  for (const StaticProperty& p : c.staticProperties)
    t.staticProperty(p.name, resolveType(reg, p.type), p.get);
  for (const StaticMethod& m : c.staticMethods) {
    auto call = m.call;
    t.staticMethod(m.name, resolveParams(reg, m.params),
                   [call](Object*, const Args& a) { return call(a); });
  }
  for (const wchar_t* e : c.events) t.event(e);
}

}  // namespace

Value formsEnum(const std::wstring& shortName, int64_t v) {
  return Value::enumValue(typeNamed(kFormsNamespace + shortName), v);
}

TypeRef resolveType(const TypeRegistry& reg, std::wstring_view name) {
  while (!name.empty() && name.front() == L' ') name.remove_prefix(1);
  while (!name.empty() && name.back() == L' ') name.remove_suffix(1);
  K kind = K::Any;
  if (name.size() > 2 && name.substr(name.size() - 2) == L"[]") {
    const std::wstring_view element = name.substr(0, name.size() - 2);
    if (primitive(element, kind)) return TypeRef::arrayOf(kind);
    return TypeRef::arrayOf(K::Class, &classNamed(reg, element));
  }
  if (primitive(name, kind)) return kind == K::Any ? TypeRef::any() : TypeRef::of(kind);
  return TypeRef::classOf(classNamed(reg, name));
}

void registerEnums(TypeRegistry& reg, const wchar_t* ns, std::span<const Enum> enums) {
  for (const Enum& e : enums) {
    std::vector<EnumMember> members;
    for (const EnumValue& m : e.members) members.push_back({m.name, m.value});
    reg.add(fullName(ns, e.name), L"System.Enum").enumeration(std::move(members), e.flags);
  }
}

void registerClasses(TypeRegistry& reg, const wchar_t* ns, std::span<const Class> classes) {
  for (const Class& c : classes) {
    TypeInfo& t = reg.add(fullName(ns, c.name), fullName(ns, c.base));
    addMembers(reg, t, c);
  }
}

}  // namespace maxhost::dotnet::table
