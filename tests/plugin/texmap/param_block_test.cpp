// The parameter table: what scenes store and scripts see, and what a new map starts with.
#include <cmath>
#include <vector>

#include "resource.h"
#include "test_support.h"
#include "texmap/pavimo.h"

using namespace tilvara_test;

namespace {

struct Expected {
  ParamID id;
  const wchar_t* name;
  int type;
  int flags;
  int localName;
};

const Expected kTable[] = {
    {pb_submaps, L"submaps", TYPE_TEXMAP_TAB, P_VARIABLE_SIZE, IDS_SUBMAPS},
    {pb_all_gamma, L"all_gamma", TYPE_FLOAT, P_ANIMATABLE, IDS_ALL_GAMMA},
    {pb_all_hue, L"all_hue", TYPE_FLOAT, P_ANIMATABLE, IDS_ALL_HUE},
    {pb_all_sat, L"all_sat", TYPE_FLOAT, P_ANIMATABLE, IDS_ALL_SAT},
    {pb_rnd_gamma, L"rnd_gamma", TYPE_FLOAT, P_ANIMATABLE, IDS_RND_GAMMA},
    {pb_rnd_hue, L"rnd_hue", TYPE_FLOAT, P_ANIMATABLE, IDS_RND_HUE},
    {pb_rnd_sat, L"rnd_sat", TYPE_FLOAT, P_ANIMATABLE, IDS_RND_SAT},
    {pb_occ_gamma, L"occ_gamma", TYPE_FLOAT, P_ANIMATABLE, IDS_OCC_GAMMA},
    {pb_occ_hue, L"occ_hue", TYPE_FLOAT, P_ANIMATABLE, IDS_OCC_HUE},
    {pb_occ_sat, L"occ_sat", TYPE_FLOAT, P_ANIMATABLE, IDS_OCC_SAT},
    {pb_rnd_by, L"rnd_by", TYPE_INT, 0, IDS_RND_BY},
    {pb_seed, L"seed", TYPE_INT, P_ANIMATABLE, IDS_SEED},
    {pb_blur, L"blur", TYPE_FLOAT, P_ANIMATABLE, IDS_BLUR},
    {pb_filtering, L"filtering", TYPE_INT, 0, IDS_FILTERING},
#if TILVARA_RELEASE == 201
    // Release 2.01: four parameters differ in flags and display name.
    {pb_sub_color, L"sub_color", TYPE_RGBA, 0, 0},
    {pb_use_color, L"use_color", TYPE_BOOL, 0, 0},
    {pb_submap_on, L"submap_on", TYPE_BOOL_TAB, P_VARIABLE_SIZE, 0},
    {pb_probability, L"probability", TYPE_INT_TAB, P_VARIABLE_SIZE | P_ANIMATABLE, 0},
    {pb_rotate, L"rotate", TYPE_ANGLE, 0, 0},
#else
    {pb_sub_color, L"sub_color", TYPE_RGBA, P_ANIMATABLE, IDS_SUB_COLOR},
    {pb_use_color, L"use_color", TYPE_BOOL, P_ANIMATABLE, IDS_USE_COLOR},
    {pb_submap_on, L"submap_on", TYPE_BOOL_TAB, P_VARIABLE_SIZE, 0},
    {pb_probability, L"probability", TYPE_INT_TAB, P_VARIABLE_SIZE, 0},
    {pb_rotate, L"rotate", TYPE_ANGLE, P_ANIMATABLE, IDS_ROTATE},
#endif
};

ParamBlockDesc2* Desc() {
  return Plugin().desc->GetParamBlockDesc(0);
}

class ParamTableTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(Plugin().desc) << Plugin().error; }
};

TEST_F(ParamTableTest, BlockHeader) {
  ParamBlockDesc2* d = Desc();
  EXPECT_EQ(d->ID, 0);
  EXPECT_EQ(d->local_name, 0);
  EXPECT_EQ(d->flags, P_AUTO_CONSTRUCT | P_AUTO_UI);
  EXPECT_EQ(d->ref_no, 0);
  ASSERT_EQ(d->maps.size(), 1u);
  EXPECT_EQ(d->maps[0].dlg_template, 114);
  EXPECT_EQ(d->maps[0].title, 4);
  EXPECT_EQ(d->maps[0].test_flags, 0);
  EXPECT_EQ(d->maps[0].rollup_flags, 0);
}

// IDs 0 to 18 in order, with their names, types, flags and display names.
TEST_F(ParamTableTest, EveryParameterInIdOrder) {
  ParamBlockDesc2* d = Desc();
  ASSERT_EQ(d->Count(), 19);
  for (int i = 0; i < 19; ++i) {
    const ParamDef& pd = d->paramdefs[i];
    const Expected& e = kTable[i];
    SCOPED_TRACE(e.name);
    EXPECT_EQ(pd.ID, e.id);
    EXPECT_EQ(pd.ID, i);
    EXPECT_EQ(std::wstring(pd.int_name), e.name);
    EXPECT_EQ(static_cast<int>(pd.type), e.type);
    EXPECT_EQ(pd.flags, e.flags);
    EXPECT_EQ(pd.local_name, e.localName);
  }
}

TEST_F(ParamTableTest, DefaultsAndRanges) {
  ParamBlockDesc2* d = Desc();
  struct F {
    ParamID id;
    float def, lo, hi;
  };
  const F floats[] = {{pb_all_gamma, 1, 0, 100},   {pb_all_hue, 0, -360, 360},
                      {pb_all_sat, 100, 0, 10000}, {pb_rnd_gamma, 0.2f, 0, 100},
                      {pb_rnd_hue, 15, 0, 360},    {pb_rnd_sat, 10, 0, 10000},
                      {pb_occ_gamma, 50, 0, 100},  {pb_occ_hue, 50, 0, 100},
                      {pb_occ_sat, 50, 0, 100},    {pb_blur, 1, 0.01f, 100}};
  for (const F& f : floats) {
    const ParamDef& pd = d->GetParamDef(f.id);
    SCOPED_TRACE(pd.int_name);
    EXPECT_FLOAT_EQ(pd.def.f, f.def);
    ASSERT_TRUE(pd.has_range);
    EXPECT_FLOAT_EQ(pd.range_low.f, f.lo);
    EXPECT_FLOAT_EQ(pd.range_high.f, f.hi);
  }
  EXPECT_EQ(d->GetParamDef(pb_seed).def.i, 12345);
  EXPECT_EQ(d->GetParamDef(pb_seed).range_low.i, 1);
  EXPECT_EQ(d->GetParamDef(pb_seed).range_high.i, 99999);
  EXPECT_EQ(d->GetParamDef(pb_rnd_by).range_high.i, 2);
  EXPECT_EQ(d->GetParamDef(pb_filtering).range_high.i, 2);
  EXPECT_FLOAT_EQ(d->GetParamDef(pb_sub_color).def.p.x, 0.5f);
  EXPECT_EQ(d->GetParamDef(pb_use_color).def.i, 0);
  EXPECT_EQ(d->GetParamDef(pb_submap_on).def.i, 1);
  EXPECT_EQ(d->GetParamDef(pb_probability).def.i, 1);
  EXPECT_FALSE(d->GetParamDef(pb_sub_color).has_range);
  EXPECT_FALSE(d->GetParamDef(pb_probability).has_range);
  EXPECT_FLOAT_EQ(d->GetParamDef(pb_rotate).def.f, 0.0f);
#if TILVARA_RELEASE == 201
  EXPECT_FALSE(d->GetParamDef(pb_rotate).has_range);
#else
  // Given in degrees, as the rollout shows it.
  ASSERT_TRUE(d->GetParamDef(pb_rotate).has_range);
  EXPECT_FLOAT_EQ(d->GetParamDef(pb_rotate).range_high.f, 360.0f);
#endif
}

TEST_F(ParamTableTest, RolloutBindings) {
  ParamBlockDesc2* d = Desc();
  const ParamDef& gamma = d->GetParamDef(pb_all_gamma);
  ASSERT_TRUE(gamma.has_ui);
  EXPECT_EQ(gamma.ctrl_type, TYPE_SPINNER);
  EXPECT_EQ(gamma.spin_type, EDITTYPE_FLOAT);
  EXPECT_EQ(gamma.ctrl_IDs, (std::vector<int>{1490, 1496}));
  EXPECT_FLOAT_EQ(gamma.scale, 0.01f);

  const ParamDef& seed = d->GetParamDef(pb_seed);
  EXPECT_EQ(seed.spin_type, EDITTYPE_POS_INT);
  EXPECT_EQ(seed.ctrl_IDs, (std::vector<int>{1015, 1017}));
  EXPECT_FLOAT_EQ(seed.scale, SPIN_AUTOSCALE);

  const ParamDef& rndBy = d->GetParamDef(pb_rnd_by);
  EXPECT_EQ(rndBy.ctrl_type, TYPE_RADIO);
  EXPECT_EQ(rndBy.ctrl_IDs, (std::vector<int>{1002, 1003, 1010}));
  EXPECT_TRUE(rndBy.vals.empty());
  EXPECT_EQ(d->GetParamDef(pb_filtering).ctrl_IDs, (std::vector<int>{1006, 1008, 1009}));

  const ParamDef& useColor = d->GetParamDef(pb_use_color);
  const ParamDef& swatch = d->GetParamDef(pb_sub_color);
  EXPECT_EQ(swatch.ctrl_type, TYPE_COLORSWATCH);
#if TILVARA_RELEASE == 201
  // Bound by position: the button index is the value.
  EXPECT_EQ(useColor.ctrl_IDs, (std::vector<int>{1081, 1082}));
  EXPECT_TRUE(useColor.vals.empty());
  EXPECT_EQ(swatch.ctrl_IDs, (std::vector<int>{1083}));
#else
  EXPECT_EQ(useColor.ctrl_IDs, (std::vector<int>{1005, 1082}));
  EXPECT_EQ(useColor.vals, (std::vector<int>{0, 1}));
  EXPECT_EQ(swatch.ctrl_IDs, (std::vector<int>{1079}));
#endif

  EXPECT_EQ(d->GetParamDef(pb_rotate).ctrl_IDs, (std::vector<int>{1512, 1513}));
  EXPECT_EQ(d->GetParamDef(pb_occ_sat).ctrl_IDs, (std::vector<int>{1506, 1507}));
  EXPECT_EQ(d->GetParamDef(pb_blur).ctrl_IDs, (std::vector<int>{1510, 1511}));
  EXPECT_FALSE(d->GetParamDef(pb_submaps).has_ui);
  EXPECT_FALSE(d->GetParamDef(pb_probability).has_ui);
}

// Reset writes 0 over the descriptor's random defaults; the lists start empty.
TEST_F(ParamTableTest, NewMapStartsFromTheResetValues) {
  MapPtr map = NewMap();
  IParamBlock2* pb = BlockOf(map.get());
  ASSERT_NE(pb, nullptr);
  EXPECT_FLOAT_EQ(pb->GetFloat(pb_rnd_gamma), 0.0f);
  EXPECT_FLOAT_EQ(pb->GetFloat(pb_rnd_hue), 0.0f);
  EXPECT_FLOAT_EQ(pb->GetFloat(pb_rnd_sat), 0.0f);
  EXPECT_FLOAT_EQ(pb->GetFloat(pb_all_gamma), 1.0f);
  EXPECT_FLOAT_EQ(pb->GetFloat(pb_all_sat), 100.0f);
  EXPECT_FLOAT_EQ(pb->GetFloat(pb_occ_gamma), 50.0f);
  EXPECT_EQ(pb->GetInt(pb_seed), 12345);
  EXPECT_FLOAT_EQ(pb->GetFloat(pb_blur), 1.0f);
  EXPECT_EQ(pb->Count(pb_submaps), 0);
  EXPECT_EQ(pb->Count(pb_submap_on), 0);
  EXPECT_EQ(pb->Count(pb_probability), 0);
  const Color flat = pb->GetColor(pb_sub_color);
  EXPECT_FLOAT_EQ(flat.r, 0.5f);
  EXPECT_EQ(pb->GetInt(pb_use_color), 0);
}

TEST_F(ParamTableTest, ResizedListsTakeTheirDefaults) {
  MapPtr map = NewMap();
  IParamBlock2* pb = BlockOf(map.get());
  pb->SetCount(pb_submap_on, 2);
  pb->SetCount(pb_probability, 2);
  EXPECT_EQ(pb->GetInt(pb_submap_on, 0, 1), 1);
  EXPECT_EQ(pb->GetInt(pb_probability, 0, 1), 1);
}

// Reset leaves the lists other than submaps and the flat colour settings alone.
TEST_F(ParamTableTest, ResetLeavesUntouchedParameters) {
  MapPtr map = NewMap();
  IParamBlock2* pb = BlockOf(map.get());
  pb->SetValue(pb_use_color, 0, 1);
  pb->SetValue(pb_rotate, 0, 0.5f);
  pb->SetValue(pb_seed, 0, 7);
  pb->SetValue(pb_rnd_hue, 0, 30.0f);
  map->Reset();
  EXPECT_EQ(pb->GetInt(pb_use_color), 1);
  EXPECT_FLOAT_EQ(pb->GetFloat(pb_rotate), 0.5f);
  EXPECT_EQ(pb->GetInt(pb_seed), 12345);
  EXPECT_FLOAT_EQ(pb->GetFloat(pb_rnd_hue), 0.0f);
}

}  // namespace
