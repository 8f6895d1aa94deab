// Release 2.01 (the hosts up to 2015): the map's own reference and change handler, a table of
// positions in `submaps`, the flat colour as the fallback, and the bitmap settings written
// all at once.
#include "shell/release.h"

#if TILVARA_RELEASE == 201

#include <animtbl.h>
#include <stdmat.h>

#include <thread>
#include <vector>

#include "core/class_directory.h"
#include "test_support.h"
#include "texmap/pavimo.h"

using namespace tilvara_test;

namespace {

Pavimo* AsPavimo(Texmap* m) {
  return static_cast<Pavimo*>(m);
}

std::vector<int> Positions(Texmap* m) {
  const Tab<int>& t = AsPavimo(m)->SelectionTable();
  std::vector<int> out;
  for (int i = 0; i < t.Count(); ++i) out.push_back(t[i]);
  return out;
}

// A maker that holds the map and answers the node-handle question as a node would.
class Dependent : public ReferenceMaker {
 public:
  Dependent(Texmap* map, bool answers) : answers_(answers) { ReplaceReference(0, map); }
  ~Dependent() override { DeleteAllRefs(); }
  SClass_ID SuperClassID() override { return REF_MAKER_CLASS_ID; }
  int NumRefs() override { return 1; }
  RefTargetHandle GetReference(int) override { return held_; }

  int asked = 0;
  ULONG counterSeen = 0xFFFFFFFF;

 protected:
  void SetReference(int, RefTargetHandle r) override { held_ = r; }
  RefResult NotifyRefChanged(const Interval&, RefTargetHandle, PartID& partID, RefMessage message,
                             BOOL) override {
    if (message != REFMSG_GET_NODE_HANDLE) return REF_SUCCEED;
    ++asked;
    auto* counter = reinterpret_cast<ULONG*>(partID);
    counterSeen = *counter;
    if (answers_) ++*counter;
    return REF_SUCCEED;
  }

 private:
  bool answers_;
  RefTargetHandle held_ = nullptr;
};

class Release201Test : public MapTest {
 protected:
  AColor ColorOf(int mtlNum) {
    sc_.NewSample();
    sc_.mtlNum = mtlNum;
    return map_->EvalColor(sc_);
  }
  Point3 BumpOf(int mtlNum) {
    sc_.NewSample();
    sc_.mtlNum = mtlNum;
    return map_->EvalNormalPerturb(sc_);
  }
  TestShadeContext sc_;
};

TEST_F(Release201Test, EveryReferenceIndexNamesTheBlock) {
  EXPECT_EQ(map_->NumRefs(), 1);
  EXPECT_EQ(map_->GetReference(0), static_cast<ReferenceTarget*>(pb_));
  EXPECT_EQ(map_->GetReference(4), static_cast<ReferenceTarget*>(pb_));
}

// Something that is not a parameter block at reference 0 leaves a map without a block.
TEST_F(Release201Test, ATargetThatIsNoBlockLeavesNoBlock) {
  auto* probe = new ProbeMap();
  ASSERT_EQ(map_->ReplaceReference(0, probe), REF_SUCCEED);
  EXPECT_EQ(map_->GetReference(0), static_cast<ReferenceTarget*>(probe));
  EXPECT_EQ(map_->GetParamBlock(0), nullptr);
  EXPECT_EQ(map_->NumSubTexmaps(), 0);
  Interval caller(3, 9);
  map_->Update(0, caller);
  EXPECT_TRUE(caller == Interval(3, 9));
}

TEST_F(Release201Test, TableHoldsPositionsRepeatedByWeight) {
  auto *a = new ProbeMap(), *b = new ProbeMap(), *c = new ProbeMap();
  SetEntries(map_.get(), {a, nullptr, b, c}, {1, 1, 0, 1}, {2, 4, 5, -1});
  UpdateAt(0);
  EXPECT_EQ(Positions(map_.get()), (std::vector<int>{0, 0}));
  pb_->SetValue(pb_probability, 0, 3, 3);
  UpdateAt(0);
  EXPECT_EQ(Positions(map_.get()), (std::vector<int>{0, 0, 3, 3, 3}));
}

// Only messages of the block reach the handler.
TEST_F(Release201Test, MessagesFromOtherSendersAreIgnored) {
  UpdateAt(0);
  auto* other = new ProbeMap();
  PartID part = PART_ALL;
  map_->NotifyRefChangedFrom(FOREVER, other, part, REFMSG_CHANGE, TRUE);
  EXPECT_FALSE(AsPavimo(map_.get())->Cache().validity.Empty());
  map_->NotifyRefChangedFrom(FOREVER, pb_, part, REFMSG_CHANGE, TRUE);
  EXPECT_TRUE(AsPavimo(map_.get())->Cache().validity.Empty());
  other->DeleteThis();
}

// A structure change of `submaps` recomputes even inside the validity, so the lists are
// fitted before anything redraws from them.
TEST_F(Release201Test, SubmapsStructureChangeFitsTheListsInsideTheValidity) {
  UpdateAt(0);
  ASSERT_FALSE(AsPavimo(map_.get())->Cache().validity.Empty());
  pb_->SetCount(pb_submaps, 2);
  EXPECT_EQ(pb_->Count(pb_submap_on), 2);
  EXPECT_EQ(pb_->Count(pb_probability), 2);
  EXPECT_TRUE(AsPavimo(map_.get())->Cache().validity.InInterval(0));
}

// The weights are animatable in this release and read at the update's time.
TEST_F(Release201Test, AnimatedWeightIsReadAtTheTime) {
  auto* a = new ProbeMap();
  SetEntries(map_.get(), {a}, {1}, {1});
  AnimateOn();
  pb_->SetValue(pb_probability, 100, 4, 0);
  AnimateOff();
  EXPECT_FALSE(map_->Validity(200).InInterval(0));
  EXPECT_EQ(Positions(map_.get()).size(), 4u);
  map_->Validity(0);
  EXPECT_EQ(Positions(map_.get()).size(), 1u);
}

// Every entry off with "Use Textures": the flat colour, adjusted like any other.
TEST_F(Release201Test, EmptyTableTakesTheAdjustedFlatColour) {
  auto* a = new ProbeMap(AColor(0, 0, 1, 1));
  SetEntries(map_.get(), {a}, {0}, {1});
  pb_->SetValue(pb_sub_color, 0, Color(0.5f, 0.25f, 1.0f));
  pb_->SetValue(pb_all_gamma, 0, 2.0f);
  UpdateAt(0);
  const AColor textures = ColorOf(7);
  EXPECT_EQ(a->colorCalls.load(), 0);
  EXPECT_NEAR(textures.r, 0.25f, 1e-5f);
  EXPECT_NEAR(textures.g, 0.0625f, 1e-5f);
  EXPECT_NEAR(textures.b, 1.0f, 1e-5f);
  EXPECT_EQ(textures.a, 1.0f);
  // The same sample with "Use Color" is the same colour.
  pb_->SetValue(pb_use_color, 0, 1);
  UpdateAt(0);
  const AColor flat = ColorOf(7);
  EXPECT_EQ(flat.r, textures.r);
  EXPECT_EQ(flat.g, textures.g);
  EXPECT_EQ(flat.b, textures.b);
  EXPECT_EQ(BumpOf(7).x, 0.0f);
}

// A position past the end of `submaps`, or an empty slot, leaves the starting red.
TEST_F(Release201Test, StalePositionsGiveRedAndNoBump) {
  auto* a = new ProbeMap(AColor(0, 1, 0, 1), Point3(1, 2, 3));
  auto* b = new ProbeMap(AColor(0, 0, 1, 1), Point3(4, 5, 6));
  SetEntries(map_.get(), {a, b}, {1, 1}, {1, 0});
  UpdateAt(0);
  EXPECT_EQ(ColorOf(3).g, 1.0f);
  EXPECT_EQ(BumpOf(3).y, 2.0f);
  {
    // Behind the map's back: the table still names position 0.
    SuspendAll quiet(FALSE, FALSE, FALSE, FALSE, FALSE, FALSE, TRUE);
    pb_->SetValue(pb_submaps, 0, static_cast<Texmap*>(nullptr), 0);
  }
  const AColor emptySlot = ColorOf(3);
  EXPECT_EQ(emptySlot.r, 1.0f);
  EXPECT_EQ(emptySlot.g, 0.0f);
  EXPECT_EQ(emptySlot.b, 0.0f);
  EXPECT_EQ(emptySlot.a, 1.0f);
  EXPECT_EQ(BumpOf(3).y, 0.0f);
  {
    SuspendAll quiet(FALSE, FALSE, FALSE, FALSE, FALSE, FALSE, TRUE);
    pb_->SetCount(pb_submaps, 0);
  }
  EXPECT_EQ(ColorOf(3).r, 1.0f);
  EXPECT_EQ(BumpOf(3).x, 0.0f);
}

// The flat colour shading uses is the one at time 0, whatever time the map was updated for.
TEST_F(Release201Test, FlatColourIsTakenAtTimeZero) {
  pb_->SetValue(pb_sub_color, 0, Color(0.2f, 0.4f, 0.6f));
  UpdateAt(500);
  const PavimoCache& c = AsPavimo(map_.get())->Cache();
  EXPECT_FLOAT_EQ(c.flatColorAt0.g, 0.4f);
  EXPECT_EQ(c.useColorAt0, 0);
  EXPECT_FLOAT_EQ(ColorOf(1).b, 0.6f);
}

// Many threads shading one map at once all see what one thread sees.
TEST_F(Release201Test, ShadingOnManyThreadsAgrees) {
  auto* a = new ProbeMap(AColor(0.9f, 0.1f, 0.1f, 1.0f));
  auto* b = new ProbeMap(AColor(0.1f, 0.9f, 0.1f, 1.0f));
  SetEntries(map_.get(), {a, b}, {1, 1}, {3, 2});
  pb_->SetValue(pb_rnd_hue, 0, 40.0f);
  UpdateAt(0);
  std::vector<AColor> expected;
  for (int key = 0; key < 200; ++key) expected.push_back(ColorOf(key));
  std::vector<int> mismatches(4, 0);
  std::vector<std::thread> threads;
  for (int k = 0; k < 4; ++k) {
    threads.emplace_back([&, k] {
      TestShadeContext sc;
      for (int key = 0; key < 200; ++key) {
        sc.NewSample();
        sc.mtlNum = key;
        const AColor c = map_->EvalColor(sc);
        if (c.r != expected[key].r || c.g != expected[key].g) ++mismatches[k];
      }
    });
  }
  for (auto& t : threads) t.join();
  EXPECT_EQ(mismatches, (std::vector<int>{0, 0, 0, 0}));
}

BitmapTex* NewBitmap() {
  ClassDesc* cd = maxhost::FindClassDesc(TEXMAP_CLASS_ID, Class_ID(BMTEX_CLASS_ID, 0));
  return cd ? static_cast<BitmapTex*>(cd->Create(FALSE)) : nullptr;
}

// Reset forgets the rotation written last: with the reset filtering and blur, a rotation
// other than 0 is written again into the bitmaps of the next update.
TEST_F(Release201Test, ResetForgetsTheLastRotation) {
  pb_->SetValue(pb_rotate, 0, 0.5f);
  BitmapTex* first = NewBitmap();
  ASSERT_NE(first, nullptr);
  SetEntries(map_.get(), {first}, {1}, {1});
  UpdateAt(0);
  map_->Reset();
  BitmapTex* second = NewBitmap();
  second->GetUVGen()->SetWAng(0.3f, 0);
  {
    // Added behind the map's back, so that no update runs before the one below.
    SuspendAll quiet(FALSE, FALSE, FALSE, FALSE, FALSE, FALSE, TRUE);
    SetEntries(map_.get(), {second}, {1}, {1});
  }
  pb_->SetValue(pb_seed, 0, 7);
  UpdateAt(0);
  EXPECT_FLOAT_EQ(second->GetUVGen()->GetWAng(0), 0.5f);
  EXPECT_FLOAT_EQ(second->GetUVGen()->GetBlur(0), 1.0f);
}

// The material check asks the dependents for a node, with a counter that starts at 0.
TEST_F(Release201Test, MaterialCheckAsksDependentsWithACounter) {
  auto* holder = new Dependent(map_.get(), false);
  map_->RefDeleted();
  EXPECT_EQ(holder->asked, 1);
  EXPECT_EQ(holder->counterSeen, 0u);
  map_.release();  // the holder's reference is the map's last: letting go deletes it
  delete holder;
}

}  // namespace

#endif
