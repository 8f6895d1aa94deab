// The IPavimo interface: its descriptor, the interface lookups of the map, and the dispatch of
// the `ListView` property, from C++ and from scripts.
#include <containers/Array.h>
#include <ifnpub.h>

#include "editor_support.h"
#include "maxscript/engine.h"
#include "texmap/pavimo.h"

namespace editor_test {
namespace {

namespace mxs = maxhost::mxs;

class IPavimoTest : public EditorTest {
 protected:
  FPMixinInterface* Interface() {
    return dynamic_cast<FPMixinInterface*>(map_->GetInterface(PAVIMO_INTERFACE_ID));
  }
};

TEST_F(IPavimoTest, TheDescriptorPublishesOnePropertyAndIsRegisteredWithTheClass) {
  FPMixinInterface* fpi = Interface();
  ASSERT_NE(fpi, nullptr);
  FPInterfaceDesc* desc = fpi->GetDesc();
  ASSERT_NE(desc, nullptr);
  EXPECT_TRUE(desc->ID == PAVIMO_INTERFACE_ID);
#if TILVARA_RELEASE == 201
  EXPECT_TRUE(desc->ID == Interface_ID(0x51677913, 0x35592b59));
  EXPECT_EQ(std::wstring(desc->internal_name), L"Pavimo Functions");
  EXPECT_EQ(desc->flags, FP_MIXIN);
#else
  EXPECT_TRUE(desc->ID == Interface_ID(0x2D5D2030, 0x45C54488));
  EXPECT_EQ(std::wstring(desc->internal_name), L"IPavimo");
  EXPECT_EQ(desc->flags, 0);
#endif
  EXPECT_EQ(desc->description, 0);
  EXPECT_EQ(desc->cd, static_cast<ClassDesc*>(TheHost().desc));
  EXPECT_TRUE(desc->functions.empty());
  EXPECT_TRUE(desc->enumerations.empty());
  ASSERT_EQ(desc->props.size(), 1u);
  EXPECT_EQ(desc->props[0].getter_ID, 0);
  EXPECT_EQ(desc->props[0].setter_ID, 1);
  EXPECT_EQ(std::wstring(desc->props[0].internal_name), L"ListView");
  EXPECT_EQ(desc->props[0].description, 0);
  // The host's code of a script value: 64 from 2018, 44 before.
#if MAX_VERSION_MAJOR >= 20
  EXPECT_EQ(static_cast<int>(desc->props[0].prop_type), 64);
#else
  EXPECT_EQ(static_cast<int>(desc->props[0].prop_type), 44);
#endif
  // The class descriptor lists the interface (after its parameter block descriptor).
  ClassDesc* cd = TheHost().desc;
  ASSERT_EQ(cd->NumInterfaces(), 1);
  EXPECT_EQ(cd->GetInterfaceAt(0), static_cast<FPInterface*>(desc));
  EXPECT_EQ(TheHost().desc->NumParamBlockDescs(), 1);
}

TEST_F(IPavimoTest, LookupsByIdAnswerTheInterfaceOnlyForItsOwnId) {
  FPMixinInterface* fpi = Interface();
  ASSERT_NE(fpi, nullptr);
  EXPECT_EQ(fpi->GetDescByID(PAVIMO_INTERFACE_ID), fpi->GetDesc());
  EXPECT_EQ(fpi->GetDescByID(Interface_ID(0x2D5D2030, 0x45C54489)), &FPInterface::nullInterface);
  // The other release's interface ID is not this one's.
#if TILVARA_RELEASE == 201
  EXPECT_EQ(fpi->GetDescByID(Interface_ID(0x2D5D2030, 0x45C54488)), &FPInterface::nullInterface);
#else
  EXPECT_EQ(fpi->GetDescByID(Interface_ID(0x51677913, 0x35592b59)), &FPInterface::nullInterface);
#endif
  EXPECT_TRUE(fpi->GetID() == PAVIMO_INTERFACE_ID);
  // Other IDs get the base class's answer.
  const Interface_ID other(0x2D5D2030, 0x45C54489);
  EXPECT_EQ(map_->GetInterface(other), material_->GetInterface(other));
}

TEST_F(IPavimoTest, DispatchReadsAndWritesTheHeldValue) {
  FPMixinInterface* fpi = Interface();
  ASSERT_NE(fpi, nullptr);
  FPValue result;
  ASSERT_EQ(fpi->Invoke(0, 0, result, nullptr), FPS_OK);
  EXPECT_EQ(result.type, TYPE_VALUE);
  EXPECT_EQ(result.v, nullptr);

  Value* text = new String(L"any value");
  text->make_heap_permanent();
  FPParams params(1);
  params.params[0].Load(TYPE_VALUE, text);
  EXPECT_EQ(fpi->Invoke(1, 0, result, &params), FPS_OK);
  EXPECT_EQ(HeldDialog(map_), text);
  // The setter does not protect what it stores.
  EXPECT_TRUE(text->is_permanent());
  text->make_collectable();
  EXPECT_FALSE(text->is_permanent());

  // Too few arguments: the host's array index check throws; the value is kept.
  FPParams none;
  try {
    fpi->Invoke(1, 0, result, &none);
    ADD_FAILURE() << "no exception";
  } catch (const MaxSDK::Util::OutOfRangeException& e) {
    EXPECT_STREQ(e.What(), L"Argument index out of bounds, passed into a MaxSDK::Array::operator[]");
  }
  EXPECT_THROW(fpi->Invoke(1, 0, result, nullptr), MaxSDK::Util::OutOfRangeException);
  EXPECT_EQ(HeldDialog(map_), text);

  EXPECT_EQ(fpi->Invoke(2, 0, result, &params), FPS_NO_SUCH_FUNCTION);
  EXPECT_EQ(fpi->Invoke(-1, 0, result, &params), FPS_NO_SUCH_FUNCTION);
  FPValue empty;
  params.params[0] = empty;
  EXPECT_EQ(fpi->Invoke(1, 0, result, &params), FPS_OK);
  EXPECT_EQ(HeldDialog(map_), nullptr);
}

TEST_F(IPavimoTest, ScriptsReachThePropertyOnTheMap) {
  EXPECT_EQ(RunScript(L"theMap.ListView"), L"undefined");
  EXPECT_EQ(RunScript(L"theMap.ListView = #(1, 2)\ntheMap.ListView"), L"#(1, 2)");
  EXPECT_EQ(RunScript(L"theMap.ListView[2]"), L"2");
  EXPECT_EQ(RunScript(L"theMap.ListView = undefined\ntheMap.ListView"), L"undefined");
  EXPECT_EQ(HeldDialog(map_), &undefined);
  EXPECT_EQ(RunScript(L"theMap.listview = 3\ntheMap.LISTVIEW"), L"3");
  RunScript(L"theMap.ListView = undefined\nok");
  EXPECT_TRUE(mxs::reported_errors().empty());
}

TEST_F(IPavimoTest, ANewOrClonedMapHoldsNoDialog) {
  PressManageTextures();
  ASSERT_TRUE(is_struct(HeldDialog(map_)));
  Texmap* fresh = NewMap();
  EXPECT_EQ(HeldDialog(fresh), nullptr);
  auto* remap = NewRemapDir();
  auto* copy = holder_->Hold(static_cast<Texmap*>(map_->Clone(*remap)));
  remap->DeleteThis();
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(HeldDialog(copy), nullptr);
}

}  // namespace
}  // namespace editor_test
