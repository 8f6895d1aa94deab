// The reference manager's slot table, linked directly from the plug-in's objects.
#include <algorithm>
#include <vector>

#include <gtest/gtest.h>

#include <max.h>

#include "texmap/reference_manager.h"

namespace {

class Target : public ReferenceTarget {
 public:
  SClass_ID SuperClassID() override { return REF_TARGET_CLASS_ID; }
  Class_ID ClassID() override { return Class_ID(0x7E570002, 0); }
  RefTargetHandle Clone(RemapDir& remap) override {
    auto* t = new Target();
    BaseClone(this, t, remap);
    return t;
  }
  void Touch() { NotifyDependents(FOREVER, PART_ALL, REFMSG_CHANGE); }

 protected:
  RefResult NotifyRefChanged(const Interval&, RefTargetHandle, PartID&, RefMessage, BOOL) override {
    return REF_SUCCEED;
  }
};

class Manager : public ReferenceManager<Texmap, 0> {
 public:
  AColor EvalColor(ShadeContext&) override { return AColor(0, 0, 0, 0); }
  Point3 EvalNormalPerturb(ShadeContext&) override { return Point3(0, 0, 0); }
  void Update(TimeValue, Interval&) override {}
  void Reset() override {}
  Interval Validity(TimeValue) override { return FOREVER; }
  ParamDlg* CreateParamDlg(HWND, IMtlParams*) override { return nullptr; }
  RefTargetHandle Clone(RemapDir& remap) override {
    auto* m = new Manager();
    for (int i = 0; i < NumRefs(); ++i) m->Add(i, nullptr);
    BaseClone(this, m, remap);
    return m;
  }
  // Owners remove their slots before the manager goes.
  ~Manager() override {
    for (RefSlot* s : std::vector<RefSlot*>(known)) Remove(s, 0);
  }
  RefSlot* Add(uint64_t index, ReferenceTarget* t, bool weak = false, bool persist = true,
               RefCallback* cb = nullptr, int32_t position = 0) {
    RefSlot* s = AddReference(index, position, cb, t, weak, persist);
    if (s) known.push_back(s);
    return s;
  }
  bool Remove(RefSlot* s, uint64_t index) {
    const bool ok = RemoveReference(s, index) == 1;
    if (ok) known.erase(std::find(known.begin(), known.end(), s));
    return ok;
  }
  std::vector<RefSlot*> known;
};

struct Recorder {
  std::vector<RefMessage> messages;
  static int Notify(void* self, RefMessage m, PartID&) {
    static_cast<Recorder*>(self)->messages.push_back(m);
    return 0;
  }
};

TEST(ReferenceManager, StartsEmptyWithNoGroups) {
  Manager m;
  EXPECT_EQ(m.NumRefs(), 0);
  EXPECT_EQ(m.GroupStart(), 0x7FFFFFFFu);
  EXPECT_TRUE(m.GroupCounts().empty());
  EXPECT_EQ(m.SlotGrowLength(), 8u);
  EXPECT_EQ(m.GetReference(0), nullptr);
  EXPECT_EQ(m.ReferenceAt(5), nullptr);
}

// Removing a plain slot leaves its position empty so other indices stay put.
TEST(ReferenceManager, RemoveLeavesAnEmptyPosition) {
  Manager m;
  auto* t = new Target();
  RefSlot* s = m.Add(0, t);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(m.NumRefs(), 1);
  EXPECT_EQ(m.GetReference(0), t);
  EXPECT_TRUE(m.Remove(s, 0));
  EXPECT_EQ(m.NumRefs(), 1);
  EXPECT_EQ(m.GetReference(0), nullptr);
  EXPECT_FALSE(m.HasSlot(0));
}

TEST(ReferenceManager, RemovingAnUnknownSlotChangesNothing) {
  Manager m;
  RefSlot stray{0, nullptr, nullptr};
  EXPECT_EQ(m.RemoveReference(&stray, 0), 0);
  EXPECT_EQ(m.RemoveReference(nullptr, 0), 0);
  EXPECT_EQ(m.IndexOfSlot(nullptr), -1);
}

TEST(ReferenceManager, AddingPastTheEndPadsWithEmptyPositions) {
  Manager m;
  auto* t = new Target();
  m.Add(2, t);
  EXPECT_EQ(m.NumRefs(), 3);
  EXPECT_FALSE(m.HasSlot(0));
  EXPECT_FALSE(m.HasSlot(1));
  EXPECT_TRUE(m.HasSlot(2));
  EXPECT_EQ(m.GetReference(2), t);
}

TEST(ReferenceManager, AddingAtAnOccupiedPositionShiftsLaterSlots) {
  Manager m;
  auto *a = new Target(), *b = new Target(), *c = new Target();
  RefSlot* sa = m.Add(0, a);
  RefSlot* sb = m.Add(1, b);
  RefSlot* sc = m.Add(0, c);
  EXPECT_EQ(m.NumRefs(), 3);
  EXPECT_EQ(m.IndexOfSlot(sc), 0);
  EXPECT_EQ(m.IndexOfSlot(sa), 1);
  EXPECT_EQ(m.IndexOfSlot(sb), 2);
  EXPECT_EQ(m.GetReference(0), c);
  EXPECT_EQ(m.GetReference(1), a);
  EXPECT_EQ(m.GetReference(2), b);
}

TEST(ReferenceManager, MessagesReachTheSendersCallback) {
  Manager m;
  Recorder ra, rb;
  auto *a = new Target(), *b = new Target();
  m.Add(0, a, false, true, new RefCallback{&ra, &Recorder::Notify});
  m.Add(1, b, false, true, new RefCallback{&rb, &Recorder::Notify});
  a->Touch();
  EXPECT_EQ(ra.messages, (std::vector<RefMessage>{REFMSG_CHANGE}));
  EXPECT_TRUE(rb.messages.empty());
}

// A deleted target leaves its slot in place, empty.
TEST(ReferenceManager, TargetDeletedClearsTheSlot) {
  Manager m;
  Recorder r;
  auto* t = new Target();
  RefSlot* s = m.Add(0, t, false, true, new RefCallback{&r, &Recorder::Notify});
  t->DeleteMe();
  EXPECT_EQ(m.NumRefs(), 1);
  EXPECT_TRUE(m.HasSlot(0));
  EXPECT_EQ(s->target, nullptr);
  EXPECT_EQ(m.GetReference(0), nullptr);
  ASSERT_FALSE(r.messages.empty());
  EXPECT_EQ(r.messages.back(), static_cast<RefMessage>(REFMSG_TARGET_DELETED));
}

TEST(ReferenceManager, WeakAndPersistFlags) {
  Manager m;
  auto *strong = new Target(), *weak = new Target(), *other = new Target();
  m.Add(0, strong);
  m.Add(1, weak, true, false);
  EXPECT_TRUE(m.IsRealDependency(strong));
  EXPECT_FALSE(m.IsRealDependency(weak));
  EXPECT_TRUE(m.IsRealDependency(other));
  EXPECT_FALSE(m.ShouldPersistWeakRef(weak));
  EXPECT_TRUE(m.ShouldPersistWeakRef(strong));
  EXPECT_TRUE(m.ShouldPersistWeakRef(other));
  other->DeleteThis();
}

// Real references are cloned; weak ones are shared.
TEST(ReferenceManager, BaseCloneClonesStrongAndSharesWeak) {
  Manager m;
  auto *strong = new Target(), *weak = new Target();
  m.Add(0, strong);
  m.Add(1, weak, true, true);
  RemapDir* remap = NewRemapDir();
  auto* copy = static_cast<Manager*>(m.Clone(*remap));
  remap->DeleteThis();
  ASSERT_EQ(copy->NumRefs(), 2);
  EXPECT_NE(copy->GetReference(0), nullptr);
  EXPECT_NE(copy->GetReference(0), strong);
  EXPECT_EQ(copy->GetReference(1), weak);
  copy->DeleteThis();
}

TEST(ReferenceManager, SetRefReplacesOrClears) {
  Manager m;
  auto *a = new Target(), *b = new Target();
  RefSlot* s = m.Add(0, a);
  m.SetRef(0, b);
  EXPECT_EQ(m.GetReference(0), b);
  EXPECT_EQ(s->target, b);
}

TEST(ReferenceManager, GroupedReferencesCloseGapsOnRemove) {
  Manager m;
  m.Add(0, new Target());
  ASSERT_TRUE(m.MakeGroup(1));
  EXPECT_EQ(m.GroupStart(), 1u);
  ASSERT_EQ(m.GroupCounts().size(), 1u);
  EXPECT_EQ(m.GroupCounts()[0], 0u);

  auto *g0a = new Target(), *g0b = new Target(), *g1a = new Target();
  RefSlot* s0a = m.Add(1, g0a, false, true, nullptr, -1);
  RefSlot* s0b = m.Add(1, g0b, false, true, nullptr, -1);
  RefSlot* s1a = m.Add(2, g1a, false, true, nullptr, -1);
  EXPECT_EQ(m.GroupCounts(), (std::vector<uint64_t>{2, 1}));
  EXPECT_EQ(m.IndexOfSlot(s0a), 1);
  EXPECT_EQ(m.IndexOfSlot(s0b), 2);
  EXPECT_EQ(m.IndexOfSlot(s1a), 3);

  EXPECT_TRUE(m.Remove(s0a, 1));
  EXPECT_EQ(m.GroupCounts(), (std::vector<uint64_t>{1, 1}));
  EXPECT_EQ(m.IndexOfSlot(s0b), 1);
  EXPECT_EQ(m.IndexOfSlot(s1a), 2);
  EXPECT_EQ(m.GetReference(2), g1a);
}

// The owning handle removes its slot, and with it the reference, under suspended undo.
TEST(RefPtr, DestructionRemovesItsSlot) {
  Manager m;
  Recorder r;
  {
    RefPtr<ReferenceTarget, 0> ptr(&m, new RefCallback{&r, &Recorder::Notify});
    EXPECT_EQ(m.NumRefs(), 1);
    EXPECT_EQ(ptr.get(), nullptr);
    auto* t = new Target();
    m.ReplaceReference(0, t);
    EXPECT_EQ(ptr.get(), t);
    EXPECT_TRUE(m.IsRealDependency(t));
    EXPECT_TRUE(ptr.slot()->flags & RefSlot::kPersist);
    t->Touch();
    EXPECT_EQ(r.messages.size(), 1u);
  }
  EXPECT_EQ(m.NumRefs(), 1);
  EXPECT_FALSE(m.HasSlot(0));
  EXPECT_EQ(m.GetReference(0), nullptr);
  EXPECT_FALSE(theHold.IsSuspended());
}

}  // namespace
