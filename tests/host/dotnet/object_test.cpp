// The reflective object model: type lookup, enums, conversions, overloads, value types.
#include <gtest/gtest.h>

#include "dotnet/controls.h"
#include "dotnet/drawing.h"
#include "dotnet/object.h"

namespace maxhost::dotnet {
namespace {

const TypeRegistry& types() {
  return TypeRegistry::instance();
}

TEST(TypeLookup, TriesPrefixesWithoutRegardToCase) {
  const TypeInfo* button = types().lookup(L"button");
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(button->fullName(), L"System.Windows.Forms.Button");
  EXPECT_EQ(types().lookup(L"Drawing.Color"), types().find(L"System.Drawing.Color"));
  EXPECT_EQ(types().lookup(L"maxcustomcontrols.maxform")->fullName(), L"MaxCustomControls.MaxForm");
  EXPECT_EQ(types().lookup(L"System.Windows.Forms.NoSuchControl"), nullptr);
}

TEST(TypeLookup, DerivationFollowsTheFormsHierarchy) {
  const TypeInfo& maxForm = typeNamed(L"MaxCustomControls.MaxForm");
  EXPECT_TRUE(maxForm.derivesFrom(typeNamed(L"System.Windows.Forms.Form")));
  EXPECT_TRUE(maxForm.derivesFrom(typeNamed(L"System.Windows.Forms.Control")));
  EXPECT_FALSE(typeNamed(L"System.Windows.Forms.Button")
                   .derivesFrom(typeNamed(L"System.Windows.Forms.Form")));
}

TEST(Enums, MembersAreStaticValuesOfTheirType) {
  const TypeInfo& buttons = typeNamed(L"System.Windows.Forms.MouseButtons");
  Value left = getStatic(buttons, L"left");
  EXPECT_EQ(left.kind(), Value::Kind::Enum);
  EXPECT_EQ(left.asInt(), 0x100000);
  EXPECT_EQ(getStatic(buttons, L"Right").asInt(), 0x200000);
  EXPECT_EQ(getStatic(buttons, L"Middle").asInt(), 0x400000);
  EXPECT_EQ(getStatic(buttons, L"None").asInt(), 0);
  const TypeInfo& keys = typeNamed(L"System.Windows.Forms.Keys");
  EXPECT_EQ(getStatic(keys, L"Control").asInt(), 0x20000);
  EXPECT_EQ(getStatic(keys, L"Shift").asInt(), 0x10000);
  EXPECT_EQ(getStatic(keys, L"Alt").asInt(), 0x40000);
  const TypeInfo& state = typeNamed(L"System.Windows.Forms.CheckState");
  EXPECT_EQ(getStatic(state, L"Unchecked").asInt(), 0);
  EXPECT_EQ(getStatic(state, L"Checked").asInt(), 1);
}

TEST(Enums, PrintTheirNamesAndCompareByTypeAndValue) {
  const TypeInfo& keys = typeNamed(L"System.Windows.Forms.Keys");
  EXPECT_EQ(Value::enumValue(keys, 0x30000).toString(), L"Shift, Control");
  EXPECT_EQ(getStatic(typeNamed(L"System.Windows.Forms.DockStyle"), L"Fill").toString(), L"Fill");
  EXPECT_TRUE(valuesEqual(getStatic(keys, L"Control"), Value::enumValue(keys, 0x20000)));
  // The same number in another enum type is another value.
  EXPECT_FALSE(valuesEqual(Value::enumValue(keys, 1),
                           Value::enumValue(typeNamed(L"System.Windows.Forms.DockStyle"), 1)));
  // Equals is callable on enum values, as scripts do.
  Value eq = callMethod(getStatic(keys, L"Shift"), L"Equals", {getStatic(keys, L"Shift")});
  EXPECT_TRUE(eq.asBool());
  // Members are reachable through a value too.
  EXPECT_EQ(getProperty(getStatic(keys, L"Shift"), L"Control").asInt(), 0x20000);
}

TEST(Conversions, UntypedArraysBecomeArraysOfTheExpectedElementType) {
  auto a = std::make_shared<Array>(TypeRef::any(), std::vector<Value>{Value::string(L"x")});
  Value converted = convert(Value::object(a), TypeRef::arrayOf(TypeRef::Kind::String));
  auto typed = converted.as<Array>();
  ASSERT_TRUE(typed);
  EXPECT_EQ(typed->elementType().kind, TypeRef::Kind::String);
  auto wrong = std::make_shared<Array>(TypeRef::any(), std::vector<Value>{Value::int32(3)});
  EXPECT_THROW(convert(Value::object(wrong), TypeRef::arrayOf(TypeRef::Kind::String)), DotNetError);
}

TEST(Conversions, NumbersWidenToDecimalAndEnumsAcceptIntegers) {
  Value d = convert(Value::int32(7), TypeRef::of(TypeRef::Kind::Decimal));
  EXPECT_EQ(d.kind(), Value::Kind::Decimal);
  EXPECT_DOUBLE_EQ(d.asDouble(), 7.0);
  const TypeInfo& dock = typeNamed(L"System.Windows.Forms.DockStyle");
  Value e = convert(Value::int32(5), TypeRef::classOf(dock));
  EXPECT_EQ(e.kind(), Value::Kind::Enum);
  EXPECT_EQ(e.toString(), L"Fill");
  EXPECT_THROW(convert(Value::string(L"5"), TypeRef::of(TypeRef::Kind::Int32)), DotNetError);
}

TEST(Members, OverloadsArePickedByArgumentCountAndType) {
  const TypeInfo& color = typeNamed(L"System.Drawing.Color");
  Value rgb =
      callStatic(color, L"FromArgb", {Value::int32(10), Value::int32(20), Value::int32(30)});
  EXPECT_EQ(rgb.toString(), L"Color [A=255, R=10, G=20, B=30]");
  Value argb = callStatic(color, L"FromArgb",
                          {Value::int32(1), Value::int32(2), Value::int32(3), Value::int32(4)});
  EXPECT_EQ(getProperty(argb, L"A").asInt(), 1);
  EXPECT_EQ(getProperty(argb, L"b").asInt(), 4);
  EXPECT_THROW(callStatic(color, L"FromArgb", {Value::int32(1), Value::int32(2)}), DotNetError);
}

TEST(Members, MissingMembersAndBadValuesThrowDotNetErrors) {
  Value button = construct(typeNamed(L"System.Windows.Forms.Button"), {});
  try {
    getProperty(button, L"NoSuchThing");
    FAIL() << "expected an exception";
  } catch (const DotNetError& e) {
    EXPECT_EQ(e.typeName(), L"System.MissingMemberException");
  }
  EXPECT_THROW(setProperty(button, L"Width", Value::string(L"wide")), DotNetError);
  EXPECT_THROW(callStatic(typeNamed(L"System.Drawing.Color"), L"FromArgb",
                          {Value::int32(256), Value::int32(0), Value::int32(0)}),
               DotNetError);
  // Reading a member of null is a NullReferenceException, not a crash.
  EXPECT_THROW(getProperty(Value(), L"Text"), DotNetError);
}

TEST(ValueTypes, PropertyReadsAreCopies) {
  Value button = construct(typeNamed(L"System.Windows.Forms.Button"), {});
  Value bounds = getProperty(button, L"Bounds");
  setProperty(bounds, L"X", Value::int32(40));
  EXPECT_EQ(getProperty(bounds, L"Left").asInt(), 40);
  EXPECT_EQ(getProperty(getProperty(button, L"Bounds"), L"X").asInt(), 0);
  Value r = construct(typeNamed(L"System.Drawing.Rectangle"),
                      {Value::int32(1), Value::int32(2), Value::int32(10), Value::int32(20)});
  EXPECT_EQ(getProperty(r, L"Right").asInt(), 11);
  EXPECT_EQ(getProperty(r, L"Bottom").asInt(), 22);
  EXPECT_TRUE(valuesEqual(r, box(Rectangle{1, 2, 10, 20})));
}

TEST(Events, HandlersRunInOrderAndUnknownEventsAreRejected) {
  auto button = std::make_shared<Button>();
  std::vector<int> order;
  button->addHandler(L"click",
                     std::make_shared<FunctionHandler>(
                         [&](const ObjectPtr&, const ObjectPtr&) { order.push_back(1); }));
  button->addHandler(L"Click",
                     std::make_shared<FunctionHandler>(
                         [&](const ObjectPtr&, const ObjectPtr&) { order.push_back(2); }));
  button->raise(L"CLICK", std::make_shared<EventArgs>());
  EXPECT_EQ(order, (std::vector<int>{1, 2}));
  EXPECT_THROW(button->addHandler(L"ItemCheck", std::make_shared<FunctionHandler>(
                                                    [](const ObjectPtr&, const ObjectPtr&) {})),
               DotNetError);
}

}  // namespace
}  // namespace maxhost::dotnet
