// The map's filtering, blur and rotation written into bitmap sub-textures on change.
#include <stdmat.h>

#include "core/class_directory.h"
#include "test_support.h"
#include "texmap/pavimo.h"

using namespace tilvara_test;

namespace {

BitmapTex* NewBitmap() {
  ClassDesc* cd = maxhost::FindClassDesc(TEXMAP_CLASS_ID, Class_ID(BMTEX_CLASS_ID, 0));
  return cd ? static_cast<BitmapTex*>(cd->Create(FALSE)) : nullptr;
}

struct Settings {
  int filtering;
  float blur, angle;
};

Settings Of(BitmapTex* b) {
  return {b->GetParamBlock(0)->GetInt(8), b->GetUVGen()->GetBlur(0), b->GetUVGen()->GetWAng(0)};
}

// Gives a bitmap settings of its own, unlike the map's.
void Own(BitmapTex* b) {
  b->GetParamBlock(0)->SetValue(8, 0, 2);
  b->GetUVGen()->SetBlur(5.0f, 0);
  b->GetUVGen()->SetWAng(0.3f, 0);
}

class BitmapSettingsTest : public MapTest {
 protected:
  void SetUp() override {
    MapTest::SetUp();
    if (HasFatalFailure()) return;
    a_ = NewBitmap();
    b_ = NewBitmap();
    ASSERT_TRUE(a_ && b_) << "the host's bitmap texture is not registered";
  }
  // Bitmaps the map did not take are the test's to delete.
  void TearDown() override {
    for (BitmapTex* b : {a_, b_})
      if (b && !b->HasDependents()) b->DeleteThis();
  }
  BitmapTex* a_ = nullptr;
  BitmapTex* b_ = nullptr;
};

// The first update of a new map writes all three settings into every enabled bitmap.
TEST_F(BitmapSettingsTest, FirstUpdateWritesEverySetting) {
  Own(a_);
  pb_->SetValue(pb_filtering, 0, 1);
  pb_->SetValue(pb_blur, 0, 2.0f);
  pb_->SetValue(pb_rotate, 0, 0.5f);
  // Appending runs the structure-change update: the map's first, with the bitmap in place.
  Texmap* entry = a_;
  pb_->Append(pb_submaps, 1, &entry);
  const Settings s = Of(a_);
  EXPECT_EQ(s.filtering, 1);
  EXPECT_FLOAT_EQ(s.blur, 2.0f);
  EXPECT_FLOAT_EQ(s.angle, 0.5f);
}

TEST_F(BitmapSettingsTest, OnlyTheChangedSettingIsWritten) {
  SetEntries(map_.get(), {a_, b_}, {1, 1}, {1, 1});
  UpdateAt(0);
  Own(a_);
  Own(b_);
  pb_->SetValue(pb_blur, 0, 2.5f);
  UpdateAt(0);
  for (BitmapTex* b : {a_, b_}) {
    const Settings s = Of(b);
#if TILVARA_RELEASE == 201
    // Release 2.01 writes all three as soon as one of them changed.
    EXPECT_EQ(s.filtering, 0);
    EXPECT_FLOAT_EQ(s.blur, 2.5f);
    EXPECT_FLOAT_EQ(s.angle, 0.0f);
#else
    EXPECT_EQ(s.filtering, 2);
    EXPECT_FLOAT_EQ(s.blur, 2.5f);
    EXPECT_FLOAT_EQ(s.angle, 0.3f);
#endif
  }
}

// Nothing is written while none of the three changes.
TEST_F(BitmapSettingsTest, UnchangedSettingsWriteNothing) {
  SetEntries(map_.get(), {a_}, {1}, {1});
  UpdateAt(0);
  Own(a_);
  pb_->SetValue(pb_seed, 0, 4);
  UpdateAt(0);
  const Settings s = Of(a_);
  EXPECT_EQ(s.filtering, 2);
  EXPECT_FLOAT_EQ(s.blur, 5.0f);
  EXPECT_FLOAT_EQ(s.angle, 0.3f);
}

TEST_F(BitmapSettingsTest, SwitchedOffBitmapKeepsItsOwnSettings) {
  SetEntries(map_.get(), {a_, b_}, {1, 0}, {1, 1});
  UpdateAt(0);
  Own(b_);
  pb_->SetValue(pb_filtering, 0, 1);
  pb_->SetValue(pb_blur, 0, 3.0f);
  pb_->SetValue(pb_rotate, 0, 1.0f);
  UpdateAt(0);
  EXPECT_EQ(Of(a_).filtering, 1);
  const Settings s = Of(b_);
#if TILVARA_RELEASE == 201
  // Release 2.01 writes into switched-off bitmaps too.
  EXPECT_EQ(s.filtering, 1);
  EXPECT_FLOAT_EQ(s.blur, 3.0f);
  EXPECT_FLOAT_EQ(s.angle, 1.0f);
#else
  EXPECT_EQ(s.filtering, 2);
  EXPECT_FLOAT_EQ(s.blur, 5.0f);
  EXPECT_FLOAT_EQ(s.angle, 0.3f);
#endif
}

// A bitmap added after the last change waits for the next change of a setting.
TEST_F(BitmapSettingsTest, LaterBitmapWaitsForTheNextChange) {
  SetEntries(map_.get(), {a_}, {1}, {1});
  UpdateAt(0);
  Own(b_);
  SetEntries(map_.get(), {a_, b_}, {1, 1}, {1, 1});
  UpdateAt(0);
  EXPECT_FLOAT_EQ(Of(b_).blur, 5.0f);
  pb_->SetValue(pb_rotate, 0, 0.25f);
  UpdateAt(0);
  const Settings s = Of(b_);
#if TILVARA_RELEASE == 201
  EXPECT_EQ(s.filtering, 0);
  EXPECT_FLOAT_EQ(s.blur, 1.0f);
#else
  EXPECT_EQ(s.filtering, 2);
  EXPECT_FLOAT_EQ(s.blur, 5.0f);
#endif
  EXPECT_FLOAT_EQ(s.angle, 0.25f);
}

TEST_F(BitmapSettingsTest, CloneWritesOnItsFirstUpdate) {
  SetEntries(map_.get(), {a_}, {1}, {1});
  pb_->SetValue(pb_blur, 0, 4.0f);
  UpdateAt(0);
  RemapDir* remap = NewRemapDir();
  MapPtr copy(static_cast<Texmap*>(map_->Clone(*remap)));
  remap->DeleteThis();
  auto* cloned = static_cast<BitmapTex*>(copy->GetSubTexmap(0));
  ASSERT_NE(cloned, nullptr);
  ASSERT_NE(cloned, a_);
  Own(cloned);
  Interval valid = FOREVER;
  copy->Update(0, valid);
  EXPECT_FLOAT_EQ(Of(cloned).blur, 4.0f);
  EXPECT_EQ(Of(cloned).filtering, 0);
}

}  // namespace
