// The map object: references, sub-anims, sub-textures, render flags, change handling,
// cloning.
#include <ifnpub.h>

#include "test_support.h"
#include "texmap/pavimo.h"

using namespace tilvara_test;

namespace {

// The loaded plug-in's map, seen through the same class definition for white-box reads.
Pavimo* AsPavimo(Texmap* m) {
  return static_cast<Pavimo*>(m);
}

class LifecycleTest : public MapTest {};

TEST_F(LifecycleTest, NewMapShape) {
  Texmap* m = map_.get();
  EXPECT_EQ(m->NumRefs(), 1);
  EXPECT_EQ(m->GetReference(0), static_cast<ReferenceTarget*>(pb_));
  EXPECT_EQ(m->NumSubs(), 1);
  EXPECT_EQ(m->SubAnim(0), static_cast<Animatable*>(pb_));
  EXPECT_EQ(m->SubAnim(1), nullptr);
  EXPECT_EQ(std::wstring(maxhost::SubAnimNameOf(*m, 0).data()), L"Parameters");
  EXPECT_EQ(m->SubNumToRefNum(3), 3);
  EXPECT_EQ(m->NumParamBlocks(), 1);
  EXPECT_EQ(m->GetParamBlock(7), pb_);
  EXPECT_EQ(m->GetParamBlockByID(0), pb_);
  EXPECT_EQ(m->GetParamBlockByID(1), nullptr);
  EXPECT_EQ(m->NumSubTexmaps(), 0);
  EXPECT_EQ(m->LocalRequirements(0), 0u);
  EXPECT_EQ(m->SuperClassID(), TEXMAP_CLASS_ID);
  EXPECT_EQ(std::wstring(maxhost::ClassNameOf(*m).data()), L"Tilvara");
  EXPECT_TRUE(AsPavimo(m)->Cache().validity.Empty());
  EXPECT_EQ(AsPavimo(m)->SelectionTable().Count(), 0);
  EXPECT_EQ(AsPavimo(m)->ListView(), nullptr);
}

TEST_F(LifecycleTest, SubTextureAccessByIndex) {
  auto* a = new ProbeMap();
  auto* b = new ProbeMap();
  auto* c = new ProbeMap();
  auto* d = new ProbeMap();
  c->SetName(_M("third"));
  SetEntries(map_.get(), {a, b, c}, {1, 1, 1}, {1, 1, 1});
  EXPECT_EQ(map_->NumSubTexmaps(), 3);
  EXPECT_EQ(map_->GetSubTexmap(2), c);
  EXPECT_EQ(map_->GetSubTexmap(3), nullptr);
  EXPECT_EQ(std::wstring(maxhost::SubTexmapSlotNameOf(*map_, 2).data()), L"third");
  EXPECT_EQ(std::wstring(maxhost::SubTexmapSlotNameOf(*map_, 9).data()), L"");

  map_->SetSubTexmap(2, d);
  EXPECT_EQ(map_->GetSubTexmap(0), a);
  EXPECT_EQ(map_->GetSubTexmap(1), b);
  EXPECT_EQ(map_->GetSubTexmap(2), d);

  auto* e = new ProbeMap();
  map_->SetSubTexmap(3, e);  // past the end: nothing changes
  EXPECT_EQ(map_->NumSubTexmaps(), 3);
  EXPECT_EQ(map_->GetSubTexmap(2), d);
  e->DeleteThis();
  EXPECT_FALSE(map_->SetDlgThing(nullptr));
}

TEST_F(LifecycleTest, EmptySlotHasNoName) {
  pb_->SetCount(pb_submaps, 1);
  EXPECT_EQ(map_->GetSubTexmap(0), nullptr);
  EXPECT_EQ(std::wstring(maxhost::SubTexmapSlotNameOf(*map_, 0).data()), L"");
}

// The map has no translated names: localized or not, it answers the same texts. The
// track-view name of a sub-texture is its slot name.
TEST_F(LifecycleTest, NamesAreTheSameLocalizedOrNot) {
  auto* a = new ProbeMap();
  auto* b = new ProbeMap();
  a->SetName(_M("first"));
  b->SetName(_M("second"));
  SetEntries(map_.get(), {a, b}, {1, 1}, {1, 1});
  Texmap& m = *map_;
  for (bool localized : {true, false}) {
    SCOPED_TRACE(localized ? "localized" : "not localized");
    EXPECT_EQ(std::wstring(maxhost::ClassNameOf(m, localized).data()), L"Tilvara");
    EXPECT_EQ(std::wstring(maxhost::SubAnimNameOf(m, 0, localized).data()), L"Parameters");
    EXPECT_EQ(std::wstring(maxhost::SubAnimNameOf(m, 1, localized).data()), L"second");
    EXPECT_EQ(std::wstring(maxhost::SubAnimNameOf(m, 2, localized).data()), L"");
    EXPECT_EQ(std::wstring(maxhost::SubTexmapSlotNameOf(m, 0, localized).data()), L"first");
  }
#if MAX_VERSION_MAJOR >= 24
  EXPECT_EQ(std::wstring(m.GetSubTexmapTVName(0, false).data()), L"first");
  EXPECT_EQ(std::wstring(m.ClassName(false).data()), L"Tilvara");
#else
  EXPECT_EQ(std::wstring(m.GetSubTexmapTVName(0).data()), L"first");
#endif
#if MAX_VERSION_MAJOR >= 24 && MAX_VERSION_MAJOR < 28
  // 2022 to 2025 keep the short forms for callers; they ask for the localized names.
  Animatable& anim = m;
  MSTR shortForm;
  anim.GetClassName(shortForm);
  EXPECT_EQ(std::wstring(shortForm.data()), L"Tilvara");
  EXPECT_EQ(std::wstring(anim.SubAnimName(0).data()), L"Parameters");
#endif
}

TEST_F(LifecycleTest, InterfaceLookup) {
#if TILVARA_RELEASE == 201
  const Interface_ID id(0x51677913, 0x35592b59);
#else
  const Interface_ID id(0x2D5D2030, 0x45C54488);
#endif
  BaseInterface* bi = map_->GetInterface(id);
  ASSERT_NE(bi, nullptr);
  EXPECT_EQ(bi, static_cast<BaseInterface*>(static_cast<FPMixinInterface*>(AsPavimo(map_.get()))));
  EXPECT_EQ(map_->GetInterface(Interface_ID(1, 2)), nullptr);
}

// Only a scene render (flags 0) keys by object or tile.
TEST_F(LifecycleTest, RenderFlagFollowsSceneRendersOnly) {
  Pavimo* p = AsPavimo(map_.get());
  EXPECT_EQ(map_->RenderBegin(0, RENDERBEGIN_IN_MEDIT), 1);
  EXPECT_FALSE(p->SceneRender());
  EXPECT_EQ(map_->RenderBegin(0, 0), 1);
  EXPECT_TRUE(p->SceneRender());
  EXPECT_EQ(map_->RenderEnd(0), 1);
  EXPECT_FALSE(p->SceneRender());
}

class CountingHandle : public TexHandle {
 public:
  explicit CountingHandle(int* deleted) : deleted_(deleted) {}
  DWORD_PTR GetHandle() override { return 0xC0FFEE; }
  void DeleteThis() override {
    ++*deleted_;
    delete this;
  }

 private:
  int* deleted_;
};

class CountingMaker : public TexHandleMaker {
 public:
  TexHandle* MakeHandle(BITMAPINFO* bmi) override {
    std::free(bmi);
    ++made;
    return new CountingHandle(&deleted);
  }
  int made = 0;
  int deleted = 0;
};

// A parameter change empties the cache validity and drops the viewport handle.
TEST_F(LifecycleTest, ParameterChangeInvalidatesCacheAndDisplay) {
  Interval valid = FOREVER;
  map_->Update(0, valid);
  EXPECT_FALSE(AsPavimo(map_.get())->Cache().validity.Empty());
  CountingMaker maker;
  EXPECT_TRUE(map_->SupportTexDisplay());
  EXPECT_EQ(map_->GetActiveTexHandle(0, maker), DWORD_PTR(0xC0FFEE));
  EXPECT_EQ(map_->GetActiveTexHandle(0, maker), DWORD_PTR(0xC0FFEE));
  EXPECT_EQ(maker.made, 1);

  const int invalidated = pb_->GetDesc()->invalidate_count;
  pb_->SetValue(pb_seed, 0, 77);
  EXPECT_TRUE(AsPavimo(map_.get())->Cache().validity.Empty());
  EXPECT_GT(pb_->GetDesc()->invalidate_count, invalidated);
  EXPECT_EQ(pb_->GetDesc()->last_invalidated_id, pb_seed);
  EXPECT_EQ(pb_->GetDesc()->last_invalidated_tab, -1);
#if TILVARA_RELEASE == 201
  // Release 2.01 keeps the handle for every parameter but `submaps`.
  EXPECT_EQ(maker.deleted, 0);
  pb_->SetCount(pb_submaps, 1);
  pb_->SetValue(pb_submaps, 0, static_cast<Texmap*>(new ProbeMap()), 0);
#endif
  EXPECT_EQ(maker.deleted, 1);

  map_->GetActiveTexHandle(0, maker);
  EXPECT_EQ(maker.made, 2);
  map_->ActivateTexDisplay(FALSE);
  EXPECT_EQ(maker.deleted, 2);
}

// A structure change of `submaps` fits the other lists at once.
TEST_F(LifecycleTest, SubmapsStructureChangeRunsTheUpdate) {
  pb_->SetCount(pb_submaps, 3);
  EXPECT_EQ(pb_->Count(pb_submap_on), 3);
  EXPECT_EQ(pb_->Count(pb_probability), 3);
  EXPECT_FALSE(AsPavimo(map_.get())->Cache().validity.Empty());
}

TEST_F(LifecycleTest, OtherStructureChangesDoNothing) {
  pb_->SetCount(pb_probability, 4);
  EXPECT_EQ(pb_->Count(pb_submap_on), 0);
  EXPECT_EQ(pb_->Count(pb_probability), 4);
}

TEST_F(LifecycleTest, CloneCopiesBlockAndNameButNoCache) {
  auto* a = new ProbeMap();
  SetEntries(map_.get(), {a}, {1}, {4});
  pb_->SetValue(pb_seed, 0, 999);
  map_->SetName(_M("stones"));
  map_->SetGBufID(5);
  Interval valid = FOREVER;
  map_->Update(0, valid);

  RemapDir* remap = NewRemapDir();
  MapPtr copy(static_cast<Texmap*>(map_->Clone(*remap)));
  remap->DeleteThis();
  ASSERT_TRUE(copy);
  IParamBlock2* cpb = BlockOf(copy.get());
  ASSERT_NE(cpb, nullptr);
  EXPECT_NE(cpb, pb_);
  EXPECT_EQ(copy->GetReference(0), static_cast<ReferenceTarget*>(cpb));
  EXPECT_EQ(cpb->GetInt(pb_seed), 999);
  EXPECT_EQ(cpb->Count(pb_submaps), 1);
  EXPECT_EQ(cpb->GetInt(pb_probability, 0, 0), 4);
  EXPECT_EQ(std::wstring(copy->GetName().data()), L"stones");
  EXPECT_EQ(copy->GetGBufID(), 5u);
  EXPECT_TRUE(AsPavimo(copy.get())->Cache().validity.Empty());
  EXPECT_EQ(AsPavimo(copy.get())->SelectionTable().Count(), 0);
  EXPECT_EQ(AsPavimo(copy.get())->ListView(), nullptr);
}

#if TILVARA_RELEASE == 204
// A material or map among the map's dependents counts as a user; the map itself does not.
class HoldingMtl : public Mtl {
 public:
  explicit HoldingMtl(Texmap* m) { ReplaceReference(0, m); }
  ~HoldingMtl() override { DeleteAllRefs(); }
  int NumRefs() override { return 1; }
  RefTargetHandle GetReference(int) override { return held_; }
  void Update(TimeValue, Interval&) override {}
  void Reset() override {}
  Interval Validity(TimeValue) override { return FOREVER; }
  ParamDlg* CreateParamDlg(HWND, IMtlParams*) override { return nullptr; }
  void Shade(ShadeContext&) override {}

 protected:
  void SetReference(int, RefTargetHandle r) override { held_ = r; }
  RefResult NotifyRefChanged(const Interval&, RefTargetHandle, PartID&, RefMessage, BOOL) override {
    return REF_SUCCEED;
  }

 private:
  RefTargetHandle held_ = nullptr;
};

TEST_F(LifecycleTest, FindMaterialEnumSeesOnlyOtherMaterials) {
  FindMaterialEnum alone(map_.get());
  map_->DoEnumDependents(&alone);
  EXPECT_FALSE(alone.found);

  auto* mtl = new HoldingMtl(map_.get());
  FindMaterialEnum used(map_.get());
  map_->DoEnumDependents(&used);
  EXPECT_TRUE(used.found);
  map_.release();  // the material owns the map now
  mtl->DeleteThis();
}
#endif

}  // namespace
