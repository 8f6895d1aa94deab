// Undo hold, suspension guards and animate mode.
#include <algorithm>

#include <animtbl.h>
#include <hold.h>
#include <maxapi.h>
#include <ref.h>

#include "core/year_forms.h"

namespace {
int gAnimateOn = 0;
int gAnimateSuspend = 0;
int gMacroSuspend = 0;
int gSetKeySuspend = 0;
int gAutoBackupSuspend = 0;
int gRefMsgsDisabled = 0;
int gSceneExplorerSuspend = 0;
BOOL gSaveRequired = FALSE;
}  // namespace

Hold theHold;

BOOL Animating() {
  return (gAnimateOn && gAnimateSuspend == 0) ? TRUE : FALSE;
}
void AnimateOn() {
  gAnimateOn = 1;
}
void AnimateOff() {
  gAnimateOn = 0;
}
void SuspendAnimate() {
  ++gAnimateSuspend;
}
void ResumeAnimate() {
  if (gAnimateSuspend > 0) --gAnimateSuspend;
}

void DisableRefMsgs() {
  ++gRefMsgsDisabled;
}
void EnableRefMsgs() {
  if (gRefMsgsDisabled > 0) --gRefMsgsDisabled;
}
BOOL RefMsgsDisabled() {
  return gRefMsgsDisabled > 0 ? TRUE : FALSE;
}

int MacroRecorderSuspendCount() {
  return gMacroSuspend;
}
int SetKeyModeSuspendCount() {
  return gSetKeySuspend;
}
int AutoBackupSuspendCount() {
  return gAutoBackupSuspend;
}
int SceneExplorerSuspendCount() {
  return gSceneExplorerSuspend;
}

void SetSaveRequiredFlag(BOOL requireSave, BOOL checkForSave) {
  (void)checkForSave;
  gSaveRequired = requireSave ? TRUE : FALSE;
}
BOOL IsSaveRequired() {
  return gSaveRequired;
}

Hold::Hold() = default;

Hold::~Hold() {
  for (RestoreObj* r : mRecords) delete r;
}

void Hold::Begin() {
  ++mBeginDepth;
}

void Hold::Accept(const MCHAR* name) {
  (void)name;
  if (mBeginDepth > 0) --mBeginDepth;
  if (mBeginDepth == 0) {
    for (RestoreObj* r : mRecords) {
      r->EndHold();
      delete r;
    }
    mRecords.clear();
  }
}

void Hold::Cancel() {
  if (mBeginDepth > 0) --mBeginDepth;
  if (mBeginDepth != 0) return;
  std::vector<RestoreObj*> records;
  records.swap(mRecords);
  mRestoring = true;
  ++mSuspendCount;  // restoring must not record again
  for (auto it = records.rbegin(); it != records.rend(); ++it) (*it)->Restore(TRUE);
  --mSuspendCount;
  mRestoring = false;
  for (RestoreObj* r : records) delete r;
}

void Hold::Put(RestoreObj* rob) {
  if (!rob) return;
  if (Holding())
    mRecords.push_back(rob);
  else
    delete rob;
}

int Hold::Holding() {
  return (mBeginDepth > 0 && mSuspendCount == 0) ? TRUE : FALSE;
}
void Hold::Suspend() {
  ++mSuspendCount;
}
void Hold::Resume() {
  if (mSuspendCount > 0) --mSuspendCount;
}
int Hold::IsSuspended() {
  return mSuspendCount > 0 ? TRUE : FALSE;
}
int Hold::Restoring(int& isUndo) {
  isUndo = TRUE;
  return mRestoring ? TRUE : FALSE;
}

#if MAX_VERSION_MAJOR >= 28
SuspendAll::SuspendAll(bool holdState, bool macroRecorder, bool animateMode, bool setKeyMode,
                       bool autoBackup, bool saveRequired, bool refMsgs, bool sceneExplorerUpdates)
#elif MAX_VERSION_MAJOR >= 21
SuspendAll::SuspendAll(BOOL holdState, BOOL macroRecorder, BOOL animateMode, BOOL setKeyMode,
                       BOOL autoBackup, BOOL saveRequired, BOOL refMsgs, BOOL sceneExplorerUpdates)
#else
SuspendAll::SuspendAll(BOOL holdState, BOOL macroRecorder, BOOL animateMode, BOOL setKeyMode,
                       BOOL autoBackup, BOOL saveRequired, BOOL refMsgs)
#endif
    : mHold(holdState),
      mMacro(macroRecorder),
      mAnimate(animateMode),
      mSetKey(setKeyMode),
      mAutoBackup(autoBackup),
      mSaveRequired(saveRequired),
      mRefMsgs(refMsgs),
#if MAX_VERSION_MAJOR >= 21
      mSceneExplorer(sceneExplorerUpdates) {
#else
      mSceneExplorer(false) {
#endif
  Suspend();
}

SuspendAll::~SuspendAll() {
  Resume();
}

void SuspendAll::Suspend() {
  if (mSuspended) return;
  mSuspended = true;
  if (mHold) theHold.Suspend();
  if (mMacro) ++gMacroSuspend;
  if (mAnimate) SuspendAnimate();
  if (mSetKey) ++gSetKeySuspend;
  if (mAutoBackup) ++gAutoBackupSuspend;
  if (mSaveRequired) mSavedSaveRequired = IsSaveRequired();
  if (mRefMsgs) DisableRefMsgs();
  if (mSceneExplorer) ++gSceneExplorerSuspend;
}

void SuspendAll::Resume() {
  if (!mSuspended) return;
  mSuspended = false;
  if (mSceneExplorer && gSceneExplorerSuspend > 0) --gSceneExplorerSuspend;
  if (mRefMsgs) EnableRefMsgs();
  if (mSaveRequired) SetSaveRequiredFlag(mSavedSaveRequired, FALSE);
  if (mAutoBackup && gAutoBackupSuspend > 0) --gAutoBackupSuspend;
  if (mSetKey && gSetKeySuspend > 0) --gSetKeySuspend;
  if (mAnimate) ResumeAnimate();
  if (mMacro && gMacroSuspend > 0) --gMacroSuspend;
  if (mHold) theHold.Resume();
}

Animatable::~Animatable() = default;

void Animatable::DeleteThis() {
  delete this;
}

MSTR Animatable::SubAnimName(int i MAXHOST_LOCALIZED) {
  (void)i;
  return MSTR();
}

BOOL Animatable::IsAnimated() {
  for (int i = 0; i < NumSubs(); ++i) {
    Animatable* a = SubAnim(i);
    if (a && a != this && a->IsAnimated()) return TRUE;
  }
  return FALSE;
}
