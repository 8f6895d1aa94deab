#include <gtest/gtest.h>

#include <hold.h>
#include <iparamb2.h>

#include "core/class_directory.h"
#include "core/param_block.h"
#include "core/ui_hooks.h"
#include "test_classes.h"

using namespace coretest;

namespace {

class ParamBlockTest : public ::testing::Test {
 protected:
  void SetUp() override {
    map = new TestMap();
    pb = map->pblock;
    ASSERT_NE(pb, nullptr);
    map->seen.clear();
  }
  void TearDown() override {
    AnimateOff();
    map->DeleteMe();
  }
  TestMap* map = nullptr;
  IParamBlock2* pb = nullptr;
};

TEST(ParamBlockDescTest, TableIsParsedAsWritten) {
  ParamBlockDesc2& d = TheTestBlockDesc();
  EXPECT_EQ(d.parse_error, nullptr);
  EXPECT_EQ(d.ID, 0);
  EXPECT_EQ(d.ref_no, 0);
  ASSERT_EQ(d.maps.size(), 1u);
  EXPECT_EQ(d.maps[0].dlg_template, 114);
  EXPECT_EQ(d.maps[0].title, 4);
  ASSERT_EQ(d.Count(), 11);
  EXPECT_EQ(TheTestMapDesc().GetParamBlockDescByID(0), &d);

  const ParamDef& amount = d.GetParamDef(tp_float);
  EXPECT_FLOAT_EQ(amount.def.f, 1.5f);
  EXPECT_FLOAT_EQ(amount.range_high.f, 100.0f);
  EXPECT_EQ(amount.ctrl_type, TYPE_SPINNER);
  EXPECT_EQ(amount.spin_type, EDITTYPE_FLOAT);
  EXPECT_EQ(amount.ctrl_IDs, (std::vector<int>{1490, 1496}));
  EXPECT_FLOAT_EQ(amount.scale, 0.01f);

  const ParamDef& seed = d.GetParamDef(tp_int);
  EXPECT_EQ(seed.def.i, 12345);
  EXPECT_EQ(seed.range_low.i, 1);
  EXPECT_EQ(seed.spin_type, EDITTYPE_POS_INT);
  EXPECT_FLOAT_EQ(seed.scale, SPIN_AUTOSCALE);

  const ParamDef& useTint = d.GetParamDef(tp_bool);
  EXPECT_EQ(useTint.ctrl_type, TYPE_RADIO);
  EXPECT_EQ(useTint.ctrl_IDs, (std::vector<int>{1005, 1082}));
  EXPECT_EQ(useTint.vals, (std::vector<int>{0, 1}));

  EXPECT_EQ(d.GetParamDef(tp_color).ctrl_IDs, std::vector<int>{1079});
  EXPECT_EQ(d.GetParamDef(tp_maps).type, TYPE_TEXMAP_TAB);
  EXPECT_EQ(d.GetParamDef(tp_maps).flags, P_VARIABLE_SIZE);
  EXPECT_EQ(d.NameToIndex(L"MAP_ON"), d.IDtoIndex(tp_flags));
  EXPECT_THROW(d.GetParamDef(99), std::out_of_range);
}

TEST_F(ParamBlockTest, NewBlockHoldsDefaults) {
  EXPECT_EQ(pb->GetOwner(), map);
  EXPECT_FLOAT_EQ(pb->GetFloat(tp_float), 1.5f);
  EXPECT_EQ(pb->GetInt(tp_int), 12345);
  EXPECT_EQ(pb->GetColor(tp_color), Color(0.5f, 0.25f, 0.125f));
  EXPECT_EQ(pb->GetInt(tp_bool), 0);
  EXPECT_STREQ(pb->GetStr(tp_string), L"none");
  EXPECT_EQ(pb->Count(tp_maps), 0);
  const AColor glow = pb->GetAColor(tp_acolor);
  EXPECT_FLOAT_EQ(glow.a, 0.4f);
  EXPECT_EQ(pb->GetPoint3(tp_point), Point3(1.0f, 2.0f, 3.0f));
}

// A value change reaches the owner as REFMSG_CHANGE with LastNotifyParamID set.
TEST_F(ParamBlockTest, SetValueNotifiesOwnerWithLastNotifyParamID) {
  ASSERT_TRUE(pb->SetValue(tp_int, 0, 7));
  ASSERT_EQ(map->seen.size(), 1u);
  EXPECT_EQ(map->seen[0].msg, static_cast<RefMessage>(REFMSG_CHANGE));
  EXPECT_EQ(map->seen[0].lastId, tp_int);
  EXPECT_EQ(pb->LastNotifyParamID(), tp_int);
  EXPECT_EQ(pb->GetInt(tp_int), 7);

  pb->SetCount(tp_weights, 3);
  map->seen.clear();
  pb->SetValue(tp_weights, 0, 5, 2);
  int tab = -1;
  EXPECT_EQ(pb->LastNotifyParamID(tab), tp_weights);
  EXPECT_EQ(tab, 2);
}

TEST_F(ParamBlockTest, WrongKindsAndIndicesAreRefused) {
  EXPECT_FALSE(pb->SetValue(tp_color, 0, L"text"));
  EXPECT_FALSE(pb->SetValue(99, 0, 1.0f));
  EXPECT_FALSE(pb->SetValue(tp_weights, 0, 1, 0)) << "the list is empty";
  EXPECT_TRUE(map->seen.empty());
  float f = 0.0f;
  Interval iv = FOREVER;
  EXPECT_FALSE(pb->GetValue(tp_string, 0, f, iv));
  auto* notMap = new TestTarget();
  pb->SetCount(tp_maps, 1);
  EXPECT_FALSE(pb->SetValue(tp_maps, 0, static_cast<ReferenceTarget*>(notMap)))
      << "a map list takes maps only";
  notMap->DeleteMe();
}

// Changes in the number of list entries send REFMSG_SUBANIM_STRUCTURE_CHANGED; new
// entries take the parameter's default.
TEST_F(ParamBlockTest, ListOperationsSendStructureChange) {
  pb->SetCount(tp_flags, 2);
  pb->Resize(tp_weights, 3);
  ASSERT_EQ(map->seen.size(), 2u);
  for (const auto& s : map->seen) {
    EXPECT_EQ(s.msg, static_cast<RefMessage>(REFMSG_SUBANIM_STRUCTURE_CHANGED));
  }
  EXPECT_EQ(map->seen[0].lastId, tp_flags);
  EXPECT_EQ(map->seen[1].lastId, tp_weights);
  EXPECT_EQ(pb->GetInt(tp_flags, 0, 1), 1) << "new bool entries are TRUE";
  EXPECT_EQ(pb->GetInt(tp_weights, 0, 2), 1) << "new weights are 1";

  map->seen.clear();
  pb->SetCount(tp_weights, 3);
  EXPECT_TRUE(map->seen.empty()) << "no change, no message";

  const int vals[2] = {9, 8};
  EXPECT_EQ(pb->Append(tp_weights, 2, vals), 5);
  EXPECT_EQ(pb->GetInt(tp_weights, 0, 4), 8);
  EXPECT_EQ(pb->Insert(tp_weights, 0, 1, vals), 6);
  EXPECT_EQ(pb->GetInt(tp_weights, 0, 0), 9);
  EXPECT_EQ(pb->Delete(tp_weights, 0, 2), 4);
  EXPECT_EQ(map->seen.size(), 3u);
  EXPECT_EQ(map->seen.back().msg, static_cast<RefMessage>(REFMSG_SUBANIM_STRUCTURE_CHANGED));
  EXPECT_EQ(pb->Delete(tp_weights, 10, 1), 4) << "out of range deletes nothing";
}

TEST_F(ParamBlockTest, SuspendedMessagesStillChangeValues) {
  {
    SuspendAll guard(TRUE, TRUE, TRUE, TRUE, TRUE, TRUE, TRUE);
    pb->SetCount(tp_flags, 4);
    pb->SetValue(tp_int, 0, 3);
  }
  EXPECT_TRUE(map->seen.empty());
  EXPECT_EQ(pb->Count(tp_flags), 4);
  EXPECT_EQ(pb->GetInt(tp_int), 3);
}

// Maps in a list are references of the block: removing the entry deletes an unshared map.
TEST_F(ParamBlockTest, MapEntriesAreReferences) {
  auto* a = new TestMap();
  auto* b = new TestMap();
  Texmap* maps[2] = {a, b};
  pb->Append(tp_maps, 2, maps);
  EXPECT_EQ(pb->NumRefs(), 2);
  EXPECT_EQ(pb->GetTexmap(tp_maps, 0, 1), b);
  ASSERT_EQ(a->Dependents().size(), 1u);
  EXPECT_EQ(a->Dependents()[0], pb);

  // A change inside a sub-map reaches the owner, naming the list that holds it.
  map->seen.clear();
  a->NotifyDependents(FOREVER, PART_ALL, REFMSG_CHANGE);
  ASSERT_EQ(map->seen.size(), 1u);
  EXPECT_EQ(map->seen[0].lastId, tp_maps);
  EXPECT_EQ(map->seen[0].lastTab, 0);

  auto* keeper = new TestTarget(1);
  keeper->ReplaceReference(0, b);
  pb->SetCount(tp_maps, 0);
  EXPECT_TRUE(b->Dependents().size() == 1 && b->Dependents()[0] == keeper);
  keeper->DeleteMe();  // takes b along
}

TEST_F(ParamBlockTest, CloneCopiesValuesAndClonesMaps) {
  auto* sub = new TestMap();
  pb->SetCount(tp_maps, 1);
  pb->SetValue(tp_maps, 0, static_cast<Texmap*>(sub));
  pb->SetValue(tp_float, 0, 4.0f);
  map->SetName(L"original");
  auto* copy = static_cast<TestMap*>(CloneRefHierarchy(map));
  ASSERT_NE(copy, nullptr);
  EXPECT_NE(copy->pblock, pb);
  EXPECT_EQ(copy->pblock->GetOwner(), copy);
  EXPECT_FLOAT_EQ(copy->pblock->GetFloat(tp_float), 4.0f);
  EXPECT_EQ(copy->GetName(), MSTR(L"original"));
  Texmap* clonedSub = copy->pblock->GetTexmap(tp_maps);
  ASSERT_NE(clonedSub, nullptr);
  EXPECT_NE(clonedSub, sub);
  copy->DeleteMe();
}

// Keys interpolate linearly; reads narrow validity to where the value holds.
TEST_F(ParamBlockTest, KeyframesNarrowValidity) {
  AnimateOn();
  pb->SetValue(tp_float, 100, 11.5f);
  AnimateOff();
  auto* impl = dynamic_cast<maxhost::ParamBlock2*>(pb);
  ASSERT_NE(impl, nullptr);
  EXPECT_EQ(impl->NumKeys(tp_float), 2) << "a key at 0 keeps the old value";
  EXPECT_TRUE(pb->IsAnimated(tp_float));

  float v = 0.0f;
  Interval iv = FOREVER;
  pb->GetValue(tp_float, 50, v, iv);
  EXPECT_FLOAT_EQ(v, 6.5f);
  EXPECT_EQ(iv, Interval(50, 50));

  iv = FOREVER;
  pb->GetValue(tp_float, -20, v, iv);
  EXPECT_FLOAT_EQ(v, 1.5f);
  EXPECT_EQ(iv, Interval(TIME_NegInfinity, 0));

  iv = FOREVER;
  pb->GetValue(tp_float, 500, v, iv);
  EXPECT_FLOAT_EQ(v, 11.5f);
  EXPECT_EQ(iv, Interval(100, TIME_PosInfinity));

  iv = Interval(0, 1000);
  int seed = 0;
  pb->GetValue(tp_int, 500, seed, iv);
  EXPECT_EQ(iv, Interval(0, 1000)) << "unanimated reads leave validity alone";

  maxhost::PBValue key;
  key.p = Point3(0.0f, 0.0f, 0.0f);
  ASSERT_TRUE(impl->SetKey(tp_color, 0, key));
  key.p = Point3(1.0f, 1.0f, 1.0f);
  ASSERT_TRUE(impl->SetKey(tp_color, 10, key));
  EXPECT_EQ(pb->GetColor(tp_color, 5), Color(0.5f, 0.5f, 0.5f));
  maxhost::PBValue s;
  EXPECT_FALSE(impl->SetKey(tp_string, 5, s)) << "strings are not animatable";
}

TEST_F(ParamBlockTest, SettingWhileNotAnimatingKeepsValueStatic) {
  pb->SetValue(tp_float, 100, 2.0f);
  Interval iv = FOREVER;
  float v = 0.0f;
  pb->GetValue(tp_float, 0, v, iv);
  EXPECT_FLOAT_EQ(v, 2.0f);
  EXPECT_TRUE(iv.IsInfinite());
}

TEST_F(ParamBlockTest, ResetAllRestoresDefaultsAndEmptiesLists) {
  pb->SetValue(tp_int, 0, 3);
  pb->SetCount(tp_weights, 4);
  pb->ResetAll();
  EXPECT_EQ(pb->GetInt(tp_int), 12345);
  EXPECT_EQ(pb->Count(tp_weights), 0);
}

TEST_F(ParamBlockTest, AssignTabKeepsSharedMapsAlive) {
  auto* a = new TestMap();
  auto* b = new TestMap();
  Texmap* maps[2] = {a, b};
  pb->Append(tp_maps, 2, maps);
  auto* impl = dynamic_cast<maxhost::ParamBlock2*>(pb);
  std::vector<maxhost::PBValue> values(1);
  values[0].r = b;
  map->seen.clear();
  ASSERT_TRUE(impl->AssignTab(tp_maps, 0, values));
  EXPECT_EQ(pb->Count(tp_maps), 1);
  EXPECT_EQ(pb->GetTexmap(tp_maps), b);
  ASSERT_EQ(map->seen.size(), 1u);
  EXPECT_EQ(map->seen[0].msg, static_cast<RefMessage>(REFMSG_SUBANIM_STRUCTURE_CHANGED));
}

TEST_F(ParamBlockTest, InvalidateUIIsRecordedAndForwarded) {
  ParamBlockDesc2* d = pb->GetDesc();
  ParamID hookId = -2;
  int hookTab = -2;
  maxhost::SetInvalidateUIHook([&](ParamBlockDesc2*, ParamID id, int tab) {
    hookId = id;
    hookTab = tab;
  });
  const int before = d->invalidate_count;
  d->InvalidateUI(tp_int);
  maxhost::SetInvalidateUIHook(nullptr);
  EXPECT_EQ(d->invalidate_count, before + 1);
  EXPECT_EQ(d->last_invalidated_id, tp_int);
  EXPECT_EQ(d->last_invalidated_tab, -1);
  EXPECT_EQ(hookId, tp_int);
  EXPECT_EQ(hookTab, -1);
}

TEST(ClassDirectoryTest, FindsByIdAndByInternalNameIgnoringCase) {
  maxhost::RegisterClassDesc(&TheTestMapDesc());
  maxhost::RegisterClassDesc(&TheTestMapDesc());
  EXPECT_EQ(maxhost::FindClassDesc(TEXMAP_CLASS_ID, Class_ID(0x7E570002, 0x2)), &TheTestMapDesc());
  EXPECT_EQ(maxhost::FindClassDesc(MATERIAL_CLASS_ID, Class_ID(0x7E570002, 0x2)), nullptr);
  EXPECT_EQ(maxhost::FindClassDescByInternalName(L"testmapinternal"), &TheTestMapDesc());
  EXPECT_EQ(maxhost::FindClassDescByInternalName(L"nothing"), nullptr);
  size_t n = 0;
  for (ClassDesc* cd : maxhost::AllClassDescs()) n += cd == &TheTestMapDesc();
  EXPECT_EQ(n, 1u);
  maxhost::UnregisterClassDesc(&TheTestMapDesc());
  EXPECT_EQ(maxhost::FindClassDescByInternalName(L"TestMapInternal"), nullptr);
}

}  // namespace
