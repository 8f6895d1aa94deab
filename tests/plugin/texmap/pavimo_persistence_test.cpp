// Save, load and clone keep every parameter, list entry and sub-texture.
#include <new>
#include <string>
#include <vector>

#include <stdmat.h>

#include "core/class_directory.h"
#include "scene/scene_file.h"
#include "test_support.h"
#include "texmap/pavimo.h"

using namespace tilvara_test;

namespace {

BitmapTex* NewBitmap(const MCHAR* name) {
  ClassDesc* cd = maxhost::FindClassDesc(TEXMAP_CLASS_ID, Class_ID(BMTEX_CLASS_ID, 0));
  auto* b = cd ? static_cast<BitmapTex*>(cd->Create(FALSE)) : nullptr;
  if (b) b->SetName(name);
  return b;
}

// Every parameter away from its reset value.
void Customise(Texmap* map) {
  IParamBlock2* pb = BlockOf(map);
  SetEntries(map, {NewBitmap(_M("first")), nullptr, NewBitmap(_M("third"))}, {1, 0, 1}, {3, 7, -2});
  pb->SetValue(pb_all_gamma, 0, 1.5f);
  pb->SetValue(pb_all_hue, 0, -20.0f);
  pb->SetValue(pb_all_sat, 0, 120.0f);
  pb->SetValue(pb_rnd_gamma, 0, 0.3f);
  pb->SetValue(pb_rnd_hue, 0, 12.0f);
  pb->SetValue(pb_rnd_sat, 0, 8.0f);
  pb->SetValue(pb_occ_gamma, 0, 10.0f);
  pb->SetValue(pb_occ_hue, 0, 20.0f);
  pb->SetValue(pb_occ_sat, 0, 30.0f);
  pb->SetValue(pb_rnd_by, 0, 2);
  pb->SetValue(pb_seed, 0, 4242);
  pb->SetValue(pb_blur, 0, 0.5f);
  pb->SetValue(pb_filtering, 0, 1);
  pb->SetValue(pb_sub_color, 0, Color(0.1f, 0.2f, 0.3f));
  pb->SetValue(pb_use_color, 0, 1);
  pb->SetValue(pb_rotate, 0, 0.75f);
  map->SetName(_M("pavement"));
}

// Sub-texture names are the sub-textures' own data, kept by their own cloning.
void ExpectCustomised(Texmap* map, bool subTextureNames = true) {
  IParamBlock2* pb = BlockOf(map);
  ASSERT_NE(pb, nullptr);
  EXPECT_EQ(std::wstring(map->GetName().data()), L"pavement");
  EXPECT_FLOAT_EQ(pb->GetFloat(pb_all_gamma), 1.5f);
  EXPECT_FLOAT_EQ(pb->GetFloat(pb_all_hue), -20.0f);
  EXPECT_FLOAT_EQ(pb->GetFloat(pb_all_sat), 120.0f);
  EXPECT_FLOAT_EQ(pb->GetFloat(pb_rnd_gamma), 0.3f);
  EXPECT_FLOAT_EQ(pb->GetFloat(pb_rnd_hue), 12.0f);
  EXPECT_FLOAT_EQ(pb->GetFloat(pb_rnd_sat), 8.0f);
  EXPECT_FLOAT_EQ(pb->GetFloat(pb_occ_gamma), 10.0f);
  EXPECT_FLOAT_EQ(pb->GetFloat(pb_occ_hue), 20.0f);
  EXPECT_FLOAT_EQ(pb->GetFloat(pb_occ_sat), 30.0f);
  EXPECT_EQ(pb->GetInt(pb_rnd_by), 2);
  EXPECT_EQ(pb->GetInt(pb_seed), 4242);
  EXPECT_FLOAT_EQ(pb->GetFloat(pb_blur), 0.5f);
  EXPECT_EQ(pb->GetInt(pb_filtering), 1);
  EXPECT_FLOAT_EQ(pb->GetColor(pb_sub_color).b, 0.3f);
  EXPECT_EQ(pb->GetInt(pb_use_color), 1);
  EXPECT_FLOAT_EQ(pb->GetFloat(pb_rotate), 0.75f);
  ASSERT_EQ(pb->Count(pb_submaps), 3);
  ASSERT_EQ(pb->Count(pb_submap_on), 3);
  ASSERT_EQ(pb->Count(pb_probability), 3);
  ASSERT_NE(map->GetSubTexmap(0), nullptr);
  EXPECT_EQ(map->GetSubTexmap(1), nullptr);
  ASSERT_NE(map->GetSubTexmap(2), nullptr);
  EXPECT_TRUE(map->GetSubTexmap(2)->ClassID() == Class_ID(BMTEX_CLASS_ID, 0));
  if (subTextureNames) {
    EXPECT_EQ(std::wstring(maxhost::SubTexmapSlotNameOf(*map, 0).data()), L"first");
    EXPECT_EQ(std::wstring(maxhost::SubTexmapSlotNameOf(*map, 2).data()), L"third");
  }
  EXPECT_EQ(pb->GetInt(pb_submap_on, 0, 1), 0);
  EXPECT_EQ(pb->GetInt(pb_probability, 0, 0), 3);
  EXPECT_EQ(pb->GetInt(pb_probability, 0, 1), 7);
  EXPECT_EQ(pb->GetInt(pb_probability, 0, 2), -2);
}

class PersistenceTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(Plugin().desc) << Plugin().error; }
};

TEST_F(PersistenceTest, SaveAndLoadKeepEverything) {
  MapPtr map = NewMap();
  Customise(map.get());
  std::vector<unsigned char> bytes;
  const maxhost::SaveResult saved = maxhost::SaveSceneToBytes({map.get()}, bytes);
  ASSERT_TRUE(saved.ok) << saved.error;
  const maxhost::LoadResult loaded = maxhost::LoadSceneFromBytes(bytes.data(), bytes.size());
  ASSERT_TRUE(loaded.ok) << loaded.error;
  ASSERT_EQ(loaded.roots.size(), 1u);
  auto* copy = static_cast<Texmap*>(loaded.roots[0]);
  ASSERT_TRUE(copy->ClassID() == PAVIMO_CLASS_ID);
  ExpectCustomised(copy);
  // The loaded map evaluates like the saved one.
  Interval valid = FOREVER;
  copy->Update(0, valid);
  EXPECT_EQ(static_cast<Pavimo*>(copy)->SelectionTable().Count(), 3);
  copy->DeleteThis();
}

TEST_F(PersistenceTest, CloneKeepsEverything) {
  MapPtr map = NewMap();
  Customise(map.get());
  RemapDir* remap = NewRemapDir();
  MapPtr copy(static_cast<Texmap*>(map->Clone(*remap)));
  remap->DeleteThis();
  ExpectCustomised(copy.get(), false);
  EXPECT_NE(copy->GetSubTexmap(0), map->GetSubTexmap(0));
}

}  // namespace
