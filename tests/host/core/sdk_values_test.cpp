// The numbers and types that the headers share with the host's SDK of the build's year: a
// plug-in built against the stand-in passes the same values as one built against the host.
#include <gtest/gtest.h>

#include <type_traits>

#include <ifnpub.h>
#include <iparamb2.h>
#include <max.h>
#include <paramtype.h>
#include <ref.h>

namespace {

TEST(SdkValues, FunctionPublishingTypesFollowTheHostYear) {
#if MAX_VERSION_MAJOR >= 20
  // 2018 on: 21 reserved codes before the function-publishing types.
  EXPECT_EQ(TYPE_ENUM, 45);
  EXPECT_EQ(TYPE_BITARRAY, 51);
  EXPECT_EQ(TYPE_FPVALUE, 63);
  EXPECT_EQ(TYPE_VALUE, 64);
  EXPECT_EQ(TYPE_DOUBLE, 69);
#else
  EXPECT_EQ(TYPE_ENUM, 24);
  EXPECT_EQ(TYPE_BITARRAY, 31);
  EXPECT_EQ(TYPE_FPVALUE, 43);
  EXPECT_EQ(TYPE_VALUE, 44);
  EXPECT_EQ(TYPE_DOUBLE, 49);
#endif
  EXPECT_EQ(TYPE_POINT2, 30);
  EXPECT_EQ(TYPE_FRGBA, 23);
  EXPECT_EQ(TYPE_TEXMAP_TAB, 2063);
  EXPECT_EQ(TYPE_VALUE_TAB, TYPE_VALUE + TYPE_TAB);
}

TEST(SdkValues, TableTagsLieFarBelowAnyTableValue) {
  EXPECT_EQ(p_default, -1073741824);
  EXPECT_EQ(p_range, -1073741822);
  EXPECT_EQ(p_ui, -1073741821);
  EXPECT_EQ(p_vals, -1073741818);
  EXPECT_EQ(p_refno, -1073741817);
  EXPECT_EQ(p_tooltip, -1073741802);
  EXPECT_EQ(p_end, -1073740800);
  EXPECT_EQ(properties, p_end + 1);
  EXPECT_EQ(enums, p_end + 2);
}

TEST(SdkValues, RolloutControlsAndSpinnerKinds) {
  EXPECT_EQ(TYPE_SPINNER, 0);
  EXPECT_EQ(TYPE_RADIO, 1);
  EXPECT_EQ(TYPE_COLORSWATCH, 4);
  EXPECT_EQ(TYPE_EDITBOX, 5);
  EXPECT_EQ(TYPE_TEXMAPBUTTON, 8);
  EXPECT_EQ(TYPE_INTLISTBOX, 13);
  EXPECT_EQ(TYPE_SLIDER, 17);
  EXPECT_EQ(EDITTYPE_INT, 0);
  EXPECT_EQ(EDITTYPE_FLOAT, 1);
  EXPECT_EQ(EDITTYPE_POS_INT, 3);
  EXPECT_EQ(EDITTYPE_TIME, 6);
  EXPECT_EQ(SPIN_AUTOSCALE, -1.0f);
}

TEST(SdkValues, BlockFlagsAndReferenceResults) {
  EXPECT_EQ(P_AUTO_CONSTRUCT, 0x2);
  EXPECT_EQ(P_AUTO_UI, 0x4);
  EXPECT_EQ(P_MULTIMAP, 0x20);
  EXPECT_EQ(P_CALLSETS_ON_LOAD, 0x40);
  EXPECT_EQ(P_HASCATEGORY, 0x80);
  EXPECT_EQ(P_TEMPLATE_UI, 0x100);
  EXPECT_EQ(P_VERSION, 0x200);
  EXPECT_EQ(P_SCRIPTED_CLASS, 0x1000);
  EXPECT_EQ(P_VARIABLE_SIZE, 0x1000);
  EXPECT_EQ(REF_FAIL, 0);
  EXPECT_EQ(REF_HALT, REF_FAIL);
  EXPECT_EQ(REF_SUCCEED, 1);
  EXPECT_EQ(REF_INVALID, 4);
  EXPECT_EQ(REF_AUTO_DELETE, 5);
}

TEST(SdkValues, IdentifierTypesHaveTheHostsWidths) {
  EXPECT_TRUE((std::is_same_v<FunctionID, short>));
  EXPECT_TRUE((std::is_same_v<StringResID, INT_PTR>));
  EXPECT_TRUE((std::is_same_v<BlockID, short>));
  EXPECT_TRUE((std::is_same_v<ParamID, short>));
  EXPECT_TRUE((std::is_same_v<MapID, short>));
  EXPECT_TRUE((std::is_same_v<FPStatus, int>));
}

}  // namespace
