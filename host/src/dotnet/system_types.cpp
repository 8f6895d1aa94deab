// System types: arrays, event arguments, the handle wrappers that host scripts pass when
// they parent a form to the host window, and System.Math's static members.
#include <cmath>
#include <limits>

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

// System.Math: the overloads on Int32 and on Double that scripts call; Round rounds half to
// even, as .NET does, and Abs of Int32's minimum overflows as it does there.
Value real(double d) {
  return Value::real(d);
}
double arg(const Args& a, size_t i) {
  return a[i].asDouble();
}
int32_t intArg(const Args& a, size_t i) {
  return static_cast<int32_t>(a[i].asInt());
}

const table::StaticProperty kMathStatics[] = {
    {L"PI", L"double", [] { return real(3.14159265358979323846); }},
    {L"E", L"double", [] { return real(2.71828182845904523536); }},
};
const table::StaticMethod kMathStaticMethods[] = {
    {L"Max", L"int,int",
     [](const Args& a) { return integer(std::max(intArg(a, 0), intArg(a, 1))); }},
    {L"Max", L"double,double", [](const Args& a) { return real(std::fmax(arg(a, 0), arg(a, 1))); }},
    {L"Min", L"int,int",
     [](const Args& a) { return integer(std::min(intArg(a, 0), intArg(a, 1))); }},
    {L"Min", L"double,double", [](const Args& a) { return real(std::fmin(arg(a, 0), arg(a, 1))); }},
    {L"Abs", L"int",
     [](const Args& a) {
       const int32_t v = intArg(a, 0);
       if (v == std::numeric_limits<int32_t>::min())
         throw DotNetError(L"System.OverflowException",
                           L"Negating the minimum value of a twos complement number is invalid.");
       return integer(v < 0 ? -v : v);
     }},
    {L"Abs", L"double", [](const Args& a) { return real(std::fabs(arg(a, 0))); }},
    {L"Sign", L"double",
     [](const Args& a) {
       return integer(arg(a, 0) > 0 ? 1 : arg(a, 0) < 0 ? -1 : 0);
     }},
    {L"Sqrt", L"double", [](const Args& a) { return real(std::sqrt(arg(a, 0))); }},
    {L"Pow", L"double,double", [](const Args& a) { return real(std::pow(arg(a, 0), arg(a, 1))); }},
    {L"Exp", L"double", [](const Args& a) { return real(std::exp(arg(a, 0))); }},
    {L"Log", L"double", [](const Args& a) { return real(std::log(arg(a, 0))); }},
    {L"Log10", L"double", [](const Args& a) { return real(std::log10(arg(a, 0))); }},
    {L"Floor", L"double", [](const Args& a) { return real(std::floor(arg(a, 0))); }},
    {L"Ceiling", L"double", [](const Args& a) { return real(std::ceil(arg(a, 0))); }},
    {L"Truncate", L"double", [](const Args& a) { return real(std::trunc(arg(a, 0))); }},
    {L"Round", L"double", [](const Args& a) { return real(std::nearbyint(arg(a, 0))); }},
    {L"Sin", L"double", [](const Args& a) { return real(std::sin(arg(a, 0))); }},
    {L"Cos", L"double", [](const Args& a) { return real(std::cos(arg(a, 0))); }},
    {L"Tan", L"double", [](const Args& a) { return real(std::tan(arg(a, 0))); }},
    {L"Atan2", L"double,double",
     [](const Args& a) { return real(std::atan2(arg(a, 0), arg(a, 1))); }},
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
    {.name = L"System.Math", .staticProperties = kMathStatics, .staticMethods = kMathStaticMethods},
};

}  // namespace

void registerSystemTypes(TypeRegistry& reg) {
  table::registerClasses(reg, L"", kSystemClasses);
}

}  // namespace maxhost::dotnet
