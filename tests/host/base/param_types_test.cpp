#include "base/param_types.h"

#include <gtest/gtest.h>

#include <cmath>

#include <plugapi.h>

namespace maxhost {
namespace {

// Angles are stored in radians and shown in degrees everywhere a user meets them.
TEST(ParamTypes, AnglesAreDegreesToUsers) {
  EXPECT_NEAR(ToUserValue(TYPE_ANGLE, M_PI / 2), 90.0, 1e-12);
  EXPECT_NEAR(FromUserValue(TYPE_ANGLE, 90.0), M_PI / 2, 1e-12);
  EXPECT_NEAR(FromUserValue(TYPE_ANGLE_TAB, 180.0), M_PI, 1e-12);
  EXPECT_EQ(ToUserValue(TYPE_FLOAT, 0.25), 0.25);
  EXPECT_EQ(ToUserValue(TYPE_PCNT_FRAC, 0.25), 25.0);
}

// Each type says how it is stored, scripted, shown and parsed, consistently.
TEST(ParamTypes, DescribesStorageScriptsRolloutAndCommandLine) {
  const ParamTypeInfo* tex = FindParamType(TYPE_TEXMAP_TAB);
  ASSERT_NE(tex, nullptr);
  EXPECT_EQ(tex->type, TYPE_TEXMAP);
  EXPECT_EQ(tex->storage, ParamStorage::Reference);
  EXPECT_EQ(tex->accepts, static_cast<SClass_ID>(TEXMAP_CLASS_ID));
  EXPECT_EQ(tex->commandLine, CommandLineForm::None);

  const ParamTypeInfo* flag = FindParamType(TYPE_BOOL);
  ASSERT_NE(flag, nullptr);
  EXPECT_EQ(flag->storage, ParamStorage::Int);
  EXPECT_EQ(flag->script, ScriptForm::Boolean);
  EXPECT_EQ(flag->rollout, RolloutForm::CheckBox);

  EXPECT_EQ(FindParamType(TYPE_RGBA)->rollout, RolloutForm::ColorSwatch);
  EXPECT_EQ(FindParamType(TYPE_PBLOCK2)->accepts, static_cast<SClass_ID>(PARAMETER_BLOCK2_CLASS_ID));
  EXPECT_EQ(FindParamType(TYPE_REFTARG)->accepts, 0u);
  EXPECT_EQ(FindParamType(TYPE_MESH), nullptr);
  EXPECT_EQ(FindParamType(TYPE_VALUE), nullptr);

  // Every reference type accepts a kind or says it takes any; no value type claims one.
  for (int t = 0; t < 70; ++t) {
    const ParamTypeInfo* info = FindParamType(t);
    if (!info) continue;
    EXPECT_EQ(info->type, t);
    if (info->storage != ParamStorage::Reference) {
      EXPECT_EQ(info->accepts, 0u) << info->name;
    }
    EXPECT_GT(info->userScale, 0.0) << info->name;
  }
}

TEST(ParamTypes, Int32RangeIsExact) {
  EXPECT_TRUE(FitsInt32(2147483647.0));
  EXPECT_TRUE(FitsInt32(-2147483648.0));
  EXPECT_FALSE(FitsInt32(2147483648.0));
  EXPECT_FALSE(FitsInt32(-2147483649.0));
  EXPECT_FALSE(FitsInt32(1e39));
  EXPECT_FALSE(FitsInt32(std::nan("")));
  EXPECT_FALSE(FitsInt32(INFINITY));
}

}  // namespace
}  // namespace maxhost
