#include <gtest/gtest.h>

#include <hold.h>
#include <maxapi.h>
#include <ref.h>

#include "test_classes.h"

using coretest::TestTarget;

namespace {

class ReferencesTest : public ::testing::Test {
 protected:
  void SetUp() override { liveAtStart = coretest::gLiveTargets; }
  int Created() const { return coretest::gLiveTargets - liveAtStart; }
  int liveAtStart = 0;
};

std::vector<RefMessage> Codes(const TestTarget& t) {
  std::vector<RefMessage> out;
  for (const auto& m : t.messages) out.push_back(m.msg);
  return out;
}

TEST_F(ReferencesTest, ReplaceReferenceRecordsDependentsBothWays) {
  auto* owner = new TestTarget(2);
  auto* child = new TestTarget();
  ASSERT_EQ(owner->ReplaceReference(1, child), REF_SUCCEED);
  EXPECT_EQ(owner->GetReference(1), child);
  ASSERT_EQ(child->Dependents().size(), 1u);
  EXPECT_EQ(child->Dependents()[0], owner);
  ASSERT_EQ(child->added.size(), 1u);
  EXPECT_EQ(child->added[0], owner);
  owner->DeleteMe();
  EXPECT_EQ(Created(), 0) << "the child lost its last reference with its owner";
}

TEST_F(ReferencesTest, OutOfRangeReferenceIsRefused) {
  auto* owner = new TestTarget(1);
  auto* child = new TestTarget();
  EXPECT_EQ(owner->ReplaceReference(1, child), REF_FAIL);
  EXPECT_EQ(owner->ReplaceReference(-1, child), REF_FAIL);
  EXPECT_TRUE(child->Dependents().empty());
  child->DeleteMe();
  owner->DeleteMe();
}

TEST_F(ReferencesTest, LoopIsRefused) {
  auto* a = new TestTarget(1);
  auto* b = new TestTarget(1);
  ASSERT_EQ(a->ReplaceReference(0, b), REF_SUCCEED);
  EXPECT_EQ(b->ReplaceReference(0, a), REF_FAIL);
  EXPECT_EQ(a->ReplaceReference(0, a), REF_FAIL);
  EXPECT_EQ(b->GetReference(0), nullptr);
  a->DeleteMe();
  EXPECT_EQ(Created(), 0);
}

// Removing the last real reference deletes the target and tells it first.
TEST_F(ReferencesTest, LastReferenceGoneDeletesTarget) {
  auto* a = new TestTarget(1);
  auto* b = new TestTarget(1);
  auto* child = new TestTarget();
  a->ReplaceReference(0, child);
  b->ReplaceReference(0, child);
  a->DeleteReference(0);
  EXPECT_EQ(child->refDeletedCalls, 1);
  EXPECT_EQ(Created(), 3) << "b still holds the child";
  b->DeleteReference(0);
  EXPECT_EQ(Created(), 2);
  a->DeleteMe();
  b->DeleteMe();
  EXPECT_EQ(Created(), 0);
}

TEST_F(ReferencesTest, ReplaceWithoutDelOldKeepsTarget) {
  auto* a = new TestTarget(1);
  auto* c1 = new TestTarget();
  auto* c2 = new TestTarget();
  a->ReplaceReference(0, c1);
  a->ReplaceReference(0, c2, FALSE);
  EXPECT_EQ(Created(), 3);
  c1->DeleteMe();
  a->DeleteMe();
  EXPECT_EQ(Created(), 0);
}

// A weak reference neither keeps its target alive nor counts as a real dependency.
TEST_F(ReferencesTest, WeakReferenceDoesNotKeepTargetAlive) {
  auto* weak = new TestTarget(1);
  weak->weakFirst = true;
  auto* strong = new TestTarget(1);
  auto* child = new TestTarget();
  strong->ReplaceReference(0, child);
  weak->ReplaceReference(0, child);
  EXPECT_TRUE(child->HasRealDependents());
  strong->DeleteReference(0);
  EXPECT_EQ(Created(), 2) << "child deleted though the weak reference remains";
  EXPECT_EQ(weak->GetReference(0), nullptr) << "the weak maker was cleared";
  ASSERT_FALSE(weak->messages.empty());
  EXPECT_EQ(weak->messages.back().msg, static_cast<RefMessage>(REFMSG_TARGET_DELETED));
  weak->DeleteMe();
  strong->DeleteMe();
}

// Messages reach direct dependents with the target as sender and propagate upward with
// each level's own target as sender.
TEST_F(ReferencesTest, NotifyDependentsPropagatesUpward) {
  auto* top = new TestTarget(1);
  auto* mid = new TestTarget(1);
  auto* leaf = new TestTarget();
  top->ReplaceReference(0, mid);
  mid->ReplaceReference(0, leaf);
  leaf->NotifyDependents(FOREVER, PART_ALL, REFMSG_CHANGE);
  ASSERT_EQ(mid->messages.size(), 1u);
  EXPECT_EQ(mid->messages[0].from, leaf);
  ASSERT_EQ(top->messages.size(), 1u);
  EXPECT_EQ(top->messages[0].from, mid);
  EXPECT_EQ(top->messages[0].msg, static_cast<RefMessage>(REFMSG_CHANGE));

  mid->answer = REF_STOP;
  leaf->NotifyDependents(FOREVER, PART_ALL, REFMSG_SUBANIM_STRUCTURE_CHANGED);
  EXPECT_EQ(mid->messages.size(), 2u);
  EXPECT_EQ(top->messages.size(), 1u) << "REF_STOP ends propagation";

  mid->answer = REF_SUCCEED;
  leaf->NotifyDependents(FOREVER, PART_ALL, REFMSG_CHANGE, NOTIFY_ALL, FALSE);
  EXPECT_EQ(top->messages.size(), 1u) << "no propagation when not asked";
  top->DeleteMe();
}

TEST_F(ReferencesTest, DeletingReferenceSendsRefDeletedToRemainingDependents) {
  auto* a = new TestTarget(1);
  auto* b = new TestTarget(1);
  auto* child = new TestTarget();
  a->ReplaceReference(0, child);
  b->ReplaceReference(0, child);
  a->DeleteReference(0);
  EXPECT_EQ(Codes(*b), std::vector<RefMessage>{REFMSG_REF_DELETED});
  EXPECT_TRUE(a->messages.empty());
  a->DeleteMe();
  b->DeleteMe();
}

// A target hears of every reference it loses, by deletion, by replacement and when the
// maker holding it is destroyed; from 2026 it learns which maker dropped it.
TEST_F(ReferencesTest, RefDeletedNamesTheMakerThatDroppedTheReference) {
  auto* a = new TestTarget(1);
  auto* b = new TestTarget(2);
  auto* c = new TestTarget(1);
  auto* child = new TestTarget();
  auto* other = new TestTarget();
  a->ReplaceReference(0, child);
  b->ReplaceReference(0, child);
  b->ReplaceReference(1, child);
  c->ReplaceReference(0, child);
  a->ReplaceReference(0, other);
  EXPECT_EQ(child->refDeletedCalls, 1);
  b->DeleteReference(1);
  EXPECT_EQ(child->refDeletedCalls, 2);
  b->DeleteMe();  // its remaining reference goes with it
  EXPECT_EQ(child->refDeletedCalls, 3);
  EXPECT_EQ(other->refDeletedCalls, 0);
#if MAX_VERSION_MAJOR >= 28
  EXPECT_EQ(child->deletedBy, (std::vector<ReferenceMaker*>{a, b, b}));
#endif
  c->DeleteMe();
  a->DeleteMe();
  EXPECT_EQ(Created(), 0);
}

TEST_F(ReferencesTest, DeleteMeTellsDependentsAndClearsTheirReferences) {
  auto* a = new TestTarget(2);
  auto* child = new TestTarget();
  a->ReplaceReference(0, child);
  a->ReplaceReference(1, child);
  child->DeleteMe();
  EXPECT_EQ(Codes(*a), std::vector<RefMessage>{REFMSG_TARGET_DELETED});
  EXPECT_EQ(a->GetReference(0), nullptr);
  EXPECT_EQ(a->GetReference(1), nullptr);
  a->DeleteMe();
  EXPECT_EQ(Created(), 0);
}

TEST_F(ReferencesTest, DeleteThisOfReferencedTargetClearsMakers) {
  auto* a = new TestTarget(1);
  auto* child = new TestTarget();
  a->ReplaceReference(0, child);
  child->DeleteThis();
  EXPECT_EQ(a->GetReference(0), nullptr);
  a->DeleteMe();
  EXPECT_EQ(Created(), 0);
}

TEST_F(ReferencesTest, SuspendAllWithRefMsgBlocksNotifications) {
  auto* a = new TestTarget(1);
  auto* child = new TestTarget();
  a->ReplaceReference(0, child);
  {
    SuspendAll guard(TRUE, TRUE, TRUE, TRUE, TRUE, TRUE, TRUE);
    EXPECT_TRUE(theHold.IsSuspended());
    EXPECT_FALSE(Animating());
    child->NotifyDependents(FOREVER, PART_ALL, REFMSG_CHANGE);
  }
  EXPECT_TRUE(a->messages.empty());
  EXPECT_FALSE(theHold.IsSuspended());
  {
    SuspendAll holdOnly(TRUE);
    child->NotifyDependents(FOREVER, PART_ALL, REFMSG_CHANGE);
  }
  EXPECT_EQ(a->messages.size(), 1u) << "only the refMsg switch blocks messages";
  a->DeleteMe();
}

// The switches in the host year's order: hold, macro recorder, animate, set key, auto
// backup, save required (restored at the end), reference messages; scene explorer from 2019.
TEST_F(ReferencesTest, SuspendAllSwitchesFollowTheHostYearsOrder) {
  AnimateOn();
  SetSaveRequiredFlag(FALSE);
  {
    SuspendAll guard(FALSE, TRUE, TRUE, TRUE, TRUE, TRUE, FALSE);
    EXPECT_FALSE(theHold.IsSuspended());
    EXPECT_EQ(MacroRecorderSuspendCount(), 1);
    EXPECT_FALSE(Animating());
    EXPECT_EQ(SetKeyModeSuspendCount(), 1);
    EXPECT_EQ(AutoBackupSuspendCount(), 1);
    EXPECT_FALSE(RefMsgsDisabled());
    SetSaveRequiredFlag(TRUE);
    EXPECT_TRUE(IsSaveRequired());
  }
  EXPECT_FALSE(IsSaveRequired()) << "the flag is given back its value from before the guard";
  EXPECT_TRUE(Animating());
  EXPECT_EQ(MacroRecorderSuspendCount(), 0);
  EXPECT_EQ(SetKeyModeSuspendCount(), 0);
  EXPECT_EQ(AutoBackupSuspendCount(), 0);
  {
    SuspendAll refsOnly(FALSE, FALSE, FALSE, FALSE, FALSE, FALSE, TRUE);
    EXPECT_TRUE(RefMsgsDisabled());
    SetSaveRequiredFlag(TRUE);
  }
  EXPECT_FALSE(RefMsgsDisabled());
  EXPECT_TRUE(IsSaveRequired()) << "without its switch the flag keeps what was set";
#if MAX_VERSION_MAJOR >= 21
  {
    SuspendAll explorer(FALSE, FALSE, FALSE, FALSE, FALSE, FALSE, FALSE, TRUE);
    EXPECT_EQ(SceneExplorerSuspendCount(), 1);
    EXPECT_FALSE(RefMsgsDisabled());
  }
#endif
  EXPECT_EQ(SceneExplorerSuspendCount(), 0);
  SetSaveRequiredFlag(FALSE);
  AnimateOff();
}

TEST_F(ReferencesTest, HoldSuspendNestsAndResumes) {
  EXPECT_FALSE(theHold.IsSuspended());
  {
    HoldSuspend outer;
    {
      HoldSuspend inner;
      EXPECT_TRUE(theHold.IsSuspended());
    }
    EXPECT_TRUE(theHold.IsSuspended());
  }
  EXPECT_FALSE(theHold.IsSuspended());
  theHold.Begin();
  EXPECT_TRUE(theHold.Holding());
  theHold.Suspend();
  EXPECT_FALSE(theHold.Holding());
  theHold.Resume();
  theHold.Accept(L"test");
  EXPECT_FALSE(theHold.Holding());
}

class RecordingEnum : public DependentEnumProc {
 public:
  int proc(ReferenceMaker* rm) override {
    visited.push_back(rm);
    if (rm == skipAt) return DEP_ENUM_SKIP;
    if (rm == haltAt) return DEP_ENUM_HALT;
    return DEP_ENUM_CONTINUE;
  }
  std::vector<ReferenceMaker*> visited;
  ReferenceMaker* skipAt = nullptr;
  ReferenceMaker* haltAt = nullptr;
};

TEST_F(ReferencesTest, EnumDependentsVisitsSelfFirstThenUpward) {
  auto* top = new TestTarget(1);
  auto* mid = new TestTarget(1);
  auto* other = new TestTarget(1);
  auto* leaf = new TestTarget();
  top->ReplaceReference(0, mid);
  mid->ReplaceReference(0, leaf);
  other->ReplaceReference(0, leaf);

  RecordingEnum all;
  EXPECT_FALSE(leaf->DoEnumDependents(&all));
  EXPECT_EQ(all.visited, (std::vector<ReferenceMaker*>{leaf, mid, top, other}));

  RecordingEnum skip;
  skip.skipAt = mid;
  leaf->DoEnumDependents(&skip);
  EXPECT_EQ(skip.visited, (std::vector<ReferenceMaker*>{leaf, mid, other}));

  RecordingEnum halt;
  halt.haltAt = mid;
  EXPECT_TRUE(leaf->DoEnumDependents(&halt));
  EXPECT_EQ(halt.visited, (std::vector<ReferenceMaker*>{leaf, mid}));
  top->DeleteMe();
  other->DeleteMe();
  EXPECT_EQ(Created(), 0);
}

// A target referenced twice in the cloned hierarchy is cloned once; weak references are
// shared, not cloned.
TEST_F(ReferencesTest, CloneRemapsSharedTargetsOnce) {
  auto* root = new TestTarget(3);
  auto* shared = new TestTarget();
  auto* outside = new TestTarget();
  root->ReplaceReference(1, shared);
  root->ReplaceReference(2, shared);
  root->weakFirst = true;
  root->ReplaceReference(0, outside);
  auto* keeper = new TestTarget(1);
  keeper->ReplaceReference(0, outside);

  auto* copy = static_cast<TestTarget*>(CloneRefHierarchy(root));
  ASSERT_NE(copy, nullptr);
  EXPECT_NE(copy->GetReference(1), shared);
  EXPECT_EQ(copy->GetReference(1), copy->GetReference(2));
  EXPECT_EQ(copy->GetReference(0), outside);
  EXPECT_EQ(Created(), 6);
  copy->DeleteMe();
  root->DeleteMe();
  keeper->DeleteMe();
  EXPECT_EQ(Created(), 0);
}

TEST_F(ReferencesTest, RemapDirReusesEntryAndBackpatches) {
  auto* a = new TestTarget();
  RemapDir* dir = NewRemapDir();
  ReferenceTarget* patched = nullptr;
  dir->PatchPointer(&patched, a);
  ReferenceTarget* c1 = dir->CloneRef(a);
  ReferenceTarget* c2 = dir->CloneRef(a);
  EXPECT_EQ(c1, c2);
  dir->Backpatch();
  EXPECT_EQ(patched, c1);
  dir->DeleteThis();
  c1->DeleteMe();
  a->DeleteMe();
}

TEST_F(ReferencesTest, MakerDestroyedWithoutDeleteAllRefsReleasesTargets) {
  // A maker whose destructor does not delete its references still unhooks.
  struct Careless : public TestTarget {
    Careless() : TestTarget(1) {}
    ~Careless() override { refs.clear(); }
  };
  auto* owner = new Careless();
  auto* child = new TestTarget();
  owner->ReplaceReference(0, child);
  delete owner;
  EXPECT_EQ(Created(), 0) << "the child went with its only reference";
}

}  // namespace
