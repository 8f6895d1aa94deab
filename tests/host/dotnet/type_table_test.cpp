// The static type tables: type names resolve as declared, and a table's members behave as
// registered (overloads, settings, constructors that know their type, statics).
#include <gtest/gtest.h>

#include <stdexcept>

#include "dotnet/controls.h"
#include "dotnet/type_table.h"

namespace maxhost::dotnet {
namespace {

using K = TypeRef::Kind;

TypeRegistry& types() {
  return TypeRegistry::instance();
}

TEST(TypeTable, NamesResolveToKindsClassesAndArrays) {
  EXPECT_EQ(table::resolveType(types(), L"int").kind, K::Int32);
  EXPECT_EQ(table::resolveType(types(), L"any").kind, K::Any);
  EXPECT_EQ(table::resolveType(types(), L" single ").kind, K::Single);
  const TypeRef control = table::resolveType(types(), L"Control");
  ASSERT_EQ(control.kind, K::Class);
  EXPECT_EQ(control.cls->fullName(), L"System.Windows.Forms.Control");
  const TypeRef controls = table::resolveType(types(), L"Control[]");
  EXPECT_EQ(controls.kind, K::Array);
  EXPECT_EQ(controls.element, K::Class);
  EXPECT_EQ(controls.cls, control.cls);
  const TypeRef strings = table::resolveType(types(), L"string[]");
  EXPECT_EQ(strings.kind, K::Array);
  EXPECT_EQ(strings.element, K::String);
  EXPECT_THROW(table::resolveType(types(), L"NoSuchWidget"), std::logic_error);
  EXPECT_THROW(table::resolveType(types(), L"NoSuchWidget[]"), std::logic_error);
}

class Gadget : public Control {
 public:
  explicit Gadget(const TypeInfo& type) : Control(type) {}
  int turns = 0;
};

const table::Constructor kGadgetConstructors[] = {
    {L"",
     [](const TypeInfo& t, const Args&) { return Value::object(std::make_shared<Gadget>(t)); }},
};
const table::Method kGadgetMethods[] = {
    {L"Turn", L"",
     [](Object* o, const Args&) { return Value::int32(++dynamic_cast<Gadget&>(*o).turns); }},
    {L"Turn", L"int",
     [](Object* o, const Args& a) {
       auto& g = dynamic_cast<Gadget&>(*o);
       g.turns += int(a[0].asInt());
       return Value::int32(g.turns);
     }},
};
const table::Setting kGadgetSettings[] = {
    {L"Docking", L"DockStyle", true},
    {L"Note", L"string"},
};
const table::StaticProperty kGadgetStatics[] = {
    {L"Answer", L"int", [] { return Value::int32(42); }},
};
const wchar_t* const kGadgetEvents[] = {L"Turned"};
const table::Class kGadgetClasses[] = {
    {.name = L"Gadget",
     .base = L"System.Windows.Forms.Control",
     .constructors = kGadgetConstructors,
     .settings = kGadgetSettings,
     .methods = kGadgetMethods,
     .staticProperties = kGadgetStatics,
     .events = kGadgetEvents},
    {.name = L"Gizmo", .base = L"Gadget", .constructors = kGadgetConstructors},
};

TEST(TypeTable, RegisteredMembersBehaveAsDeclared) {
  table::registerClasses(types(), L"TableTest.", kGadgetClasses);
  const TypeInfo* gizmo = types().find(L"TableTest.Gizmo");
  ASSERT_NE(gizmo, nullptr);
  EXPECT_TRUE(gizmo->derivesFrom(types().get(L"System.Windows.Forms.Control")));
  // Constructors are not inherited; a shared one builds the type it is declared on.
  EXPECT_THROW(construct(types().get(L"TableTest.Gadget"), {Value::int32(1)}), DotNetError);
  const Value g = construct(*gizmo, {});
  EXPECT_EQ(&g.asObject()->type(), gizmo);
  EXPECT_EQ(callMethod(g, L"turn", {}).asInt(), 1);
  EXPECT_EQ(callMethod(g, L"Turn", {Value::int32(5)}).asInt(), 6);
  // Settings keep what was set; an unset enum setting reads as the enum's zero.
  const Value docking = getProperty(g, L"Docking");
  EXPECT_EQ(docking.kind(), Value::Kind::Enum);
  EXPECT_EQ(docking.asInt(), 0);
  EXPECT_TRUE(getProperty(g, L"Note").isNull());
  setProperty(g, L"Note", Value::string(L"kept"));
  EXPECT_EQ(getProperty(g, L"note").asString(), L"kept");
  EXPECT_EQ(getStatic(*gizmo, L"Answer").asInt(), 42);
  EXPECT_TRUE(gizmo->hasEvent(L"turned"));
  EXPECT_FALSE(gizmo->hasEvent(L"Spun"));
}

}  // namespace
}  // namespace maxhost::dotnet
