// References and dependents, messages, enumeration, deletion and clone remapping.
#include <algorithm>
#include <atomic>
#include <map>
#include <vector>

#include <ref.h>

#include "core/live_targets.h"
#include "core/year_forms.h"

namespace {

// Guards against runaway propagation; reference graphs are acyclic, so this is only a
// backstop against makers that re-send messages from their handlers.
thread_local int gNotifyDepth = 0;
constexpr int kMaxNotifyDepth = 256;

template <class T>
void EraseOne(std::vector<T*>& v, T* p) {
  auto it = std::find(v.begin(), v.end(), p);
  if (it != v.end()) v.erase(it);
}

template <class T>
std::vector<T*> Unique(const std::vector<T*>& v) {
  std::vector<T*> out;
  out.reserve(v.size());
  for (T* p : v)
    if (std::find(out.begin(), out.end(), p) == out.end()) out.push_back(p);
  return out;
}

bool ReachesTarget(ReferenceMaker* from, ReferenceTarget* targ,
                   std::vector<ReferenceMaker*>& visited, bool directOnly) {
  if (std::find(visited.begin(), visited.end(), from) != visited.end()) return false;
  visited.push_back(from);
  const int n = from->NumRefs();
  for (int i = 0; i < n; ++i) {
    ReferenceTarget* r = from->GetReference(i);
    if (!r) continue;
    if (r == targ) return true;
    if (!directOnly && ReachesTarget(r, targ, visited, false)) return true;
  }
  return false;
}

}  // namespace

BOOL DependentEnumProc::CheckIfVisited(ReferenceMaker* rmaker) {
  if (std::find(mVisited.begin(), mVisited.end(), rmaker) != mVisited.end()) return TRUE;
  mVisited.push_back(rmaker);
  return FALSE;
}

// ---------------------------------------------------------------- ReferenceMaker

ReferenceMaker::ReferenceMaker() = default;

ReferenceMaker::~ReferenceMaker() {
  // A maker destroyed while still holding references unhooks from its targets here; its
  // own reference slots can no longer be asked (the derived parts are gone).
  std::vector<ReferenceTarget*> held;
  held.swap(mHeld);
  for (ReferenceTarget* t : held) EraseOne(t->mDependents, this);
  for (ReferenceTarget* t : Unique(held)) {
    if (t->mBeingDeleted) continue;
    maxhost::TellRefDeleted(*t, this);
    t->MaybeAutoDelete();
  }
}

RefResult ReferenceMaker::ReplaceReference(int which, RefTargetHandle newtarg, BOOL delOld) {
  if (which < 0 || which >= NumRefs()) return REF_FAIL;
  ReferenceTarget* old = GetReference(which);
  if (old == newtarg) return REF_SUCCEED;
  if (newtarg) {
    if (newtarg->mBeingDeleted) return REF_FAIL;
    // A reference that would close a loop is refused.
    if (newtarg == this) return REF_FAIL;
    if (auto* self = dynamic_cast<ReferenceTarget*>(this)) {
      if (newtarg->HasReferenceTo(self)) return REF_FAIL;
    }
    newtarg->mDependents.push_back(this);
    mHeld.push_back(newtarg);
  }
  SetReference(which, newtarg);
  if (newtarg && GetReference(which) != newtarg) {
    // The maker refused a target of the wrong kind: it keeps what it had.
    EraseOne(newtarg->mDependents, this);
    EraseOne(mHeld, newtarg);
    return REF_FAIL;
  }
  if (newtarg) newtarg->RefAdded(this);
  if (old) {
    EraseOne(old->mDependents, this);
    EraseOne(mHeld, old);
    if (!old->mBeingDeleted) {
      maxhost::TellRefDeleted(*old, this);
      old->NotifyDependents(FOREVER, PART_ALL, REFMSG_REF_DELETED, NOTIFY_ALL, FALSE);
      if (delOld) old->MaybeAutoDelete();
    }
  }
  return REF_SUCCEED;
}

RefResult ReferenceMaker::DeleteReference(int i) {
  if (i < 0 || i >= NumRefs()) return REF_FAIL;
  if (!GetReference(i)) return REF_SUCCEED;
  return ReplaceReference(i, nullptr, TRUE);
}

RefResult ReferenceMaker::DeleteAllRefsFromMe() {
  for (int i = 0; i < NumRefs(); ++i) {
    if (GetReference(i)) DeleteReference(i);
  }
  return REF_SUCCEED;
}

RefResult ReferenceMaker::DeleteAllRefsToMe() {
  if (auto* self = dynamic_cast<ReferenceTarget*>(this)) {
    if (!self->mDependents.empty()) {
      self->NotifyDependents(FOREVER, PART_ALL, REFMSG_TARGET_DELETED, NOTIFY_ALL, FALSE);
      self->DetachDependents();
    }
  }
  return REF_SUCCEED;
}

RefResult ReferenceMaker::DeleteAllRefs() {
  DeleteAllRefsFromMe();
  DeleteAllRefsToMe();
  return REF_SUCCEED;
}

BOOL ReferenceMaker::HasReferenceTo(ReferenceTarget* targ, BOOL directOnly) {
  if (!targ) return FALSE;
  std::vector<ReferenceMaker*> visited;
  return ReachesTarget(this, targ, visited, directOnly != FALSE) ? TRUE : FALSE;
}

BOOL ReferenceMaker::DoEnumDependents(DependentEnumProc* dep) {
  if (!dep) return FALSE;
  dep->mVisited.clear();
  return DoEnumDependentsImpl(dep);
}

BOOL ReferenceMaker::DoEnumDependentsImpl(DependentEnumProc* dep) {
  return dep->proc(this) == DEP_ENUM_HALT ? TRUE : FALSE;
}

IOResult ReferenceMaker::Save(ISave* isave) {
  (void)isave;
  return IO_OK;
}

IOResult ReferenceMaker::Load(ILoad* iload) {
  (void)iload;
  return IO_OK;
}

// ---------------------------------------------------------------- ReferenceTarget

namespace {
std::atomic<long> gLiveTargets{0};
}  // namespace

long maxhost::LiveReferenceTargets() {
  return gLiveTargets.load(std::memory_order_relaxed);
}

ReferenceTarget::ReferenceTarget() {
  gLiveTargets.fetch_add(1, std::memory_order_relaxed);
}

ReferenceTarget::~ReferenceTarget() {
  gLiveTargets.fetch_sub(1, std::memory_order_relaxed);
  // Deleted without DeleteMe: makers still pointing here are cleared, without messages
  // (the derived parts of this object are already gone).
  mBeingDeleted = true;
  if (!mDependents.empty()) DetachDependents();
}

void ReferenceTarget::DetachDependents() {
  std::vector<ReferenceMaker*> deps = Unique(mDependents);
  mDependents.clear();
  for (ReferenceMaker* m : deps) {
    const int n = m->NumRefs();
    for (int i = 0; i < n; ++i)
      if (m->GetReference(i) == this) m->SetReference(i, nullptr);
    m->mHeld.erase(std::remove(m->mHeld.begin(), m->mHeld.end(), this), m->mHeld.end());
  }
}

RefResult ReferenceTarget::NotifyDependents(const Interval& changeInt, PartID partID,
                                            RefMessage message, SClass_ID sclass, BOOL propagate,
                                            RefTargetHandle hTarg,
                                            NotifyDependentsOption notifyDependentsOption) {
  (void)notifyDependentsOption;
  if (RefMsgsDisabled()) return REF_SUCCEED;
  if (gNotifyDepth >= kMaxNotifyDepth) return REF_FAIL;
  ++gNotifyDepth;
  RefResult result = REF_SUCCEED;
  for (ReferenceMaker* m : Unique(mDependents)) {
    // An earlier dependent's handler may have removed or deleted this one.
    if (std::find(mDependents.begin(), mDependents.end(), m) == mDependents.end()) continue;
    if (sclass != NOTIFY_ALL && m->SuperClassID() != sclass) continue;
    PartID pid = partID;
    const RefResult r =
        m->NotifyRefChanged(changeInt, hTarg ? hTarg : this, pid, message, propagate);
    if (r == REF_HALT) {
      result = REF_HALT;
      break;
    }
    if (!propagate || (r != REF_SUCCEED && r != REF_DONTCARE)) continue;
    if (std::find(mDependents.begin(), mDependents.end(), m) == mDependents.end()) continue;
    if (m->IsRefTarget()) {
      auto* mt = static_cast<ReferenceTarget*>(m);
      if (!mt->mBeingDeleted) mt->NotifyDependents(changeInt, pid, message, sclass, propagate);
    }
  }
  --gNotifyDepth;
  return result;
}

BOOL ReferenceTarget::DoEnumDependentsImpl(DependentEnumProc* dep) {
  const int r = dep->proc(this);
  if (r == DEP_ENUM_HALT) return TRUE;
  if (r == DEP_ENUM_SKIP) return FALSE;
  for (ReferenceMaker* m : Unique(mDependents)) {
    if (m->DoEnumDependentsImpl(dep)) return TRUE;
  }
  return FALSE;
}

BOOL ReferenceTarget::HasRealDependents() {
  for (ReferenceMaker* m : mDependents)
    if (m->IsRealDependency(this)) return TRUE;
  return FALSE;
}

RefTargetHandle ReferenceTarget::Clone(RemapDir& remap) {
  (void)remap;
  return nullptr;
}

void ReferenceTarget::BaseClone(ReferenceTarget* from, ReferenceTarget* to, RemapDir& remap) {
  (void)from, (void)to, (void)remap;
}

RefResult ReferenceTarget::DeleteMe() {
  if (mBeingDeleted) return REF_SUCCEED;
  mBeingDeleted = true;
  if (!mDependents.empty()) {
    NotifyDependents(FOREVER, PART_ALL, REFMSG_TARGET_DELETED, NOTIFY_ALL, FALSE);
    DetachDependents();
  }
  DeleteAllRefsFromMe();
  DeleteThis();
  return REF_SUCCEED;
}

RefResult ReferenceTarget::MaybeAutoDelete() {
  if (!mAutoDelete || mBeingDeleted) return REF_FAIL;
  if (HasRealDependents()) return REF_FAIL;
  return DeleteMe();
}

// ---------------------------------------------------------------- RemapDir

RefTargetHandle RemapDir::CloneRef(RefTargetHandle oldTarg) {
  if (!oldTarg) return nullptr;
  if (RefTargetHandle done = GetPtr(oldTarg)) return done;
  RefTargetHandle c = oldTarg->Clone(*this);
  if (c && !GetPtr(oldTarg)) AddEntry(oldTarg, c);
  return c;
}

namespace {

class HostRemapDir : public RemapDir {
 public:
  RefTargetHandle GetPtr(RefTargetHandle oldTarg) override {
    auto it = mMap.find(oldTarg);
    return it == mMap.end() ? nullptr : it->second;
  }
  void PatchPointer(RefTargetHandle* patchThis, RefTargetHandle oldTarg) override {
    if (!patchThis) return;
    if (RefTargetHandle n = GetPtr(oldTarg))
      *patchThis = n;
    else
      mPatches.emplace_back(patchThis, oldTarg);
  }
  void AddEntry(RefTargetHandle hfrom, RefTargetHandle hto) override { mMap[hfrom] = hto; }
  void Backpatch() override {
    for (auto& p : mPatches)
      if (RefTargetHandle n = GetPtr(p.second)) *p.first = n;
    mPatches.clear();
  }
  void Clear() override {
    mMap.clear();
    mPatches.clear();
  }
  void ClearBackpatch() override { mPatches.clear(); }
  void DeleteThis() override { delete this; }

 private:
  std::map<RefTargetHandle, RefTargetHandle> mMap;
  std::vector<std::pair<RefTargetHandle*, RefTargetHandle>> mPatches;
};

// Clones without remembering: every CloneRef makes a new clone.
class NoRemapDir : public RemapDir {
 public:
  RefTargetHandle GetPtr(RefTargetHandle) override { return nullptr; }
  void PatchPointer(RefTargetHandle*, RefTargetHandle) override {}
  void AddEntry(RefTargetHandle, RefTargetHandle) override {}
  void Backpatch() override {}
  void Clear() override {}
  void DeleteThis() override {}
};

}  // namespace

RemapDir* NewRemapDir(BOOL use_A_WORK2_flag) {
  (void)use_A_WORK2_flag;
  return new HostRemapDir();
}

RemapDir& NoRemap() {
  static NoRemapDir dir;
  return dir;
}

RefTargetHandle CloneRefHierarchy(RefTargetHandle rm) {
  if (!rm) return nullptr;
  RemapDir* dir = NewRemapDir();
  RefTargetHandle c = dir->CloneRef(rm);
  dir->Backpatch();
  dir->DeleteThis();
  return c;
}
