// System types: arrays, event arguments and the handle wrappers that host scripts pass
// when they parent a form to the host window.
#include "dotnet/reflect.h"
#include "dotnet/registration.h"

namespace maxhost::dotnet {

using namespace reflect;

TypeInfo& reflect::enumType(TypeRegistry& reg, const std::wstring& name,
                            std::vector<EnumMember> members, bool flags) {
  return reg.add(name, L"System.Enum").enumeration(std::move(members), flags);
}

namespace {

// A handle value; the stand-in has no windows, so handles are plain numbers.
class Handle : public Object {
 public:
  Handle(const TypeInfo& type, int64_t v) : Object(type), value(v) {}
  int64_t value;
};

}  // namespace

void registerSystemTypes(TypeRegistry& reg) {
  reg.add(L"System.ValueType");
  reg.add(L"System.Enum", L"System.ValueType");

  TypeInfo& array = reg.add(L"System.Array");
  prop<Array>(array, L"Length", kInt, [](Array& a) { return integer(a.items().size()); });
  prop<Array>(array, L"Count", kInt, [](Array& a) { return integer(a.items().size()); });
  auto at = [](Array& a, int64_t i) -> Value& {
    if (i < 0 || i >= int64_t(a.items().size()))
      throw DotNetError(L"System.IndexOutOfRangeException",
                        L"Index was outside the bounds of the array.");
    return a.items()[size_t(i)];
  };
  array.indexer(
      {kInt}, [at](Object* o, const Args& i) { return at(as<Array>(o), i[0].asInt()); },
      [at](Object* o, const Args& i, const Value& v) {
        Array& a = as<Array>(o);
        if (i.size() != 1) throwArgument(L"Arrays take one index");
        at(a, i[0].asInt()) = convert(v, a.elementType());
      });
  method<Array>(array, L"GetValue", {kInt},
                [at](Array& a, const Args& i) { return at(a, i[0].asInt()); });

  reg.add(L"System.EventArgs");
  TypeInfo& cancel = reg.add(L"System.ComponentModel.CancelEventArgs", L"System.EventArgs");
  prop<CancelEventArgs>(
      cancel, L"Cancel", kBool, [](CancelEventArgs& e) { return Value::boolean(e.cancel); },
      [](CancelEventArgs& e, const Value& v) { e.cancel = v.asBool(); });

  // The bridge's holder of a script value (dotNetMXSValue).
  reg.add(L"dotNetMXSValue");

  TypeInfo& intPtr = reg.add(L"System.IntPtr", L"System.ValueType");
  intPtr.constructor({TypeRef::of(K::Int64)}, [&intPtr](Object*, const Args& a) {
    return Value::object(std::make_shared<Handle>(intPtr, a[0].asInt()));
  });
  intPtr.method(L"ToInt64", {},
                [](Object* o, const Args&) { return Value::int64(as<Handle>(o).value); });
  intPtr.method(L"ToInt32", {},
                [](Object* o, const Args&) { return integer(as<Handle>(o).value); });

  TypeInfo& wrapper = reg.add(L"MaxCustomControls.Win32HandleWrapper");
  wrapper.constructor({kAny}, [&wrapper](Object*, const Args& a) {
    int64_t v = a[0].isNumeric() ? a[0].asInt() : 0;
    if (auto h = a[0].as<Handle>()) v = h->value;
    return Value::object(std::make_shared<Handle>(wrapper, v));
  });
  wrapper.property(L"Handle", TypeRef::any(),
                   [](Object* o) { return Value::int64(as<Handle>(o).value); });
}

}  // namespace maxhost::dotnet
