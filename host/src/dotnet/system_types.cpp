// System types: arrays, event arguments and the handle wrappers that host scripts pass
// when they parent a form to the host window.
#include "dotnet/reflect.h"
#include "dotnet/registration.h"
#include "dotnet/type_table.h"

namespace maxhost::dotnet {

using namespace reflect;

namespace {

// A handle value; the stand-in has no windows, so handles are plain numbers.
class Handle : public Object {
 public:
  Handle(const TypeInfo& type, int64_t v) : Object(type), value(v) {}
  int64_t value;
};

Value& element(Object* o, int64_t i) {
  Array& a = as<Array>(o);
  if (i < 0 || i >= int64_t(a.items().size()))
    throw DotNetError(L"System.IndexOutOfRangeException",
                      L"Index was outside the bounds of the array.");
  return a.items()[size_t(i)];
}

const table::Property kArrayProperties[] = {
    {L"Length", L"int", [](Object* o) { return integer(as<Array>(o).items().size()); }},
    {L"Count", L"int", [](Object* o) { return integer(as<Array>(o).items().size()); }},
};
const table::Method kArrayMethods[] = {
    {L"GetValue", L"int", [](Object* o, const Args& i) { return element(o, i[0].asInt()); }},
};
const table::Indexer kArrayIndexers[] = {
    {L"int", [](Object* o, const Args& i) { return element(o, i[0].asInt()); },
     [](Object* o, const Args& i, const Value& v) {
       if (i.size() != 1) throwArgument(L"Arrays take one index");
       element(o, i[0].asInt()) = convert(v, as<Array>(o).elementType());
     }},
};

const table::Property kCancelProperties[] = {
    {L"Cancel", L"bool", [](Object* o) { return Value::boolean(as<CancelEventArgs>(o).cancel); },
     [](Object* o, const Value& v) { as<CancelEventArgs>(o).cancel = v.asBool(); }},
};

const table::Constructor kIntPtrConstructors[] = {
    {L"int64",
     [](const TypeInfo& t, const Args& a) {
       return Value::object(std::make_shared<Handle>(t, a[0].asInt()));
     }},
};
const table::Method kIntPtrMethods[] = {
    {L"ToInt64", L"", [](Object* o, const Args&) { return Value::int64(as<Handle>(o).value); }},
    {L"ToInt32", L"", [](Object* o, const Args&) { return integer(as<Handle>(o).value); }},
};

const table::Constructor kWrapperConstructors[] = {
    {L"any",
     [](const TypeInfo& t, const Args& a) {
       int64_t v = a[0].isNumeric() ? a[0].asInt() : 0;
       if (auto h = a[0].as<Handle>()) v = h->value;
       return Value::object(std::make_shared<Handle>(t, v));
     }},
};
const table::Property kWrapperProperties[] = {
    {L"Handle", L"any", [](Object* o) { return Value::int64(as<Handle>(o).value); }},
};

const table::Class kSystemClasses[] = {
    {.name = L"System.ValueType"},
    {.name = L"System.Enum", .base = L"System.ValueType"},
    {.name = L"System.Array",
     .properties = kArrayProperties,
     .methods = kArrayMethods,
     .indexers = kArrayIndexers},
    {.name = L"System.EventArgs"},
    {.name = L"System.ComponentModel.CancelEventArgs",
     .base = L"System.EventArgs",
     .properties = kCancelProperties},
    // The bridge's holder of a script value (dotNetMXSValue).
    {.name = L"dotNetMXSValue"},
    {.name = L"System.IntPtr",
     .base = L"System.ValueType",
     .constructors = kIntPtrConstructors,
     .methods = kIntPtrMethods},
    {.name = L"MaxCustomControls.Win32HandleWrapper",
     .constructors = kWrapperConstructors,
     .properties = kWrapperProperties},
};

}  // namespace

void registerSystemTypes(TypeRegistry& reg) {
  table::registerClasses(reg, L"", kSystemClasses);
}

}  // namespace maxhost::dotnet
