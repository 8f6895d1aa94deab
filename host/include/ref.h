// The reference system: makers hold numbered references to targets; targets know their
// dependents and send them messages; the host deletes a target when its last real
// reference goes.
#pragma once

#include <vector>

#include "animtbl.h"
#include "interval.h"
#include "maxtypes.h"
#include "maxversion.h"

class ISave;
class ILoad;
class ReferenceMaker;
class ReferenceTarget;
class RemapDir;
class IParamBlock2;

typedef ReferenceTarget* RefTargetHandle;
typedef ReferenceMaker* RefMakerHandle;

// REF_HALT is REF_FAIL: a dependent that fails a message also stops its propagation.
enum RefResult {
  REF_FAIL = 0,
  REF_HALT = 0,
  REF_SUCCEED,
  REF_DONTCARE,
  REF_STOP,
  REF_INVALID,
  REF_AUTO_DELETE
};

enum NotifyDependentsOption { REFNOTIFY_ALLOW_OPTIMIZATIONS, REFNOTIFY_DISALLOW_OPTIMIZATIONS };

// Part identifiers travel with messages.
#define PART_TOPO (1 << 0)
#define PART_GEOM (1 << 1)
#define PART_TEXMAP (1 << 2)
#define PART_MTL (1 << 3)
#define PART_SELECT (1 << 4)
#define PART_SUBSEL_TYPE (1 << 5)
#define PART_DISPLAY (1 << 6)
#define PART_VERTCOLOR (1 << 7)
#define PART_GFX_DATA (1 << 8)
#define PART_DISP_APPROX (1 << 9)
#define PART_EXTENSION (1 << 10)
#define PART_TM_CHAN (1 << 11)
#define PART_MTL_CHAN (1 << 12)
#define PART_OBJECT_TYPE (1 << 13)
#define PART_HIDESTATE (1 << 14)
#define PART_ALL 0xffffffff

// Messages.
#define REFMSG_LOOPTEST 0x00000010
#define REFMSG_TARGET_DELETED 0x00000020
#define REFMSG_MODAPP_DELETING 0x00000021
#define REFMSG_EVAL 0x00000030
#define REFMSG_CHANGE 0x00000050
#define REFMSG_BEGIN_EDIT 0x00000090
#define REFMSG_END_EDIT 0x000000A0
#define REFMSG_DISABLE 0x000000B0
#define REFMSG_ENABLE 0x000000C0
#define REFMSG_SUBANIM_STRUCTURE_CHANGED 0x00000102
#define REFMSG_REF_DELETED 0x00000103
#define REFMSG_REF_ADDED 0x00000104
#define REFMSG_NODE_NAMECHANGE 0x00000121
#define REFMSG_GET_NODE_HANDLE 0x00000220
#define REFMSG_USER 0x00010000

// Return codes of DependentEnumProc::proc.
#define DEP_ENUM_CONTINUE 0
#define DEP_ENUM_HALT 1
#define DEP_ENUM_SKIP 2

// Reference messages can be switched off host-wide (SuspendAll's refMsg switch uses this).
CoreExport void DisableRefMsgs();
CoreExport void EnableRefMsgs();
CoreExport BOOL RefMsgsDisabled();

class CoreExport DependentEnumProc : public MaxHeapOperators {
 public:
  virtual ~DependentEnumProc() = default;
  // Called once per dependent: DEP_ENUM_CONTINUE goes on (into the dependent's own
  // dependents), DEP_ENUM_SKIP skips them, DEP_ENUM_HALT stops the enumeration.
  virtual int proc(ReferenceMaker* rmaker) = 0;
  // Returns TRUE if rmaker was already visited in this enumeration; marks it otherwise.
  BOOL CheckIfVisited(ReferenceMaker* rmaker);

 private:
  friend class ReferenceMaker;
  friend class ReferenceTarget;
  std::vector<ReferenceMaker*> mVisited;
};

class CoreExport ReferenceMaker : public Animatable {
  friend class ReferenceTarget;

 public:
  ReferenceMaker();
  ~ReferenceMaker() override;

  // Makes reference `which` point at newtarg. The old target loses this reference and,
  // when delOld is set and no real reference to it remains, is deleted.
  RefResult ReplaceReference(int which, RefTargetHandle newtarg, BOOL delOld = TRUE);
  RefResult DeleteReference(int i);
  RefResult DeleteAllRefsFromMe();
  RefResult DeleteAllRefsToMe();
  RefResult DeleteAllRefs();
  // Returns TRUE if this maker references `targ`, directly or (when not direct-only)
  // through its references.
  BOOL HasReferenceTo(ReferenceTarget* targ, BOOL directOnly = FALSE);

  virtual int NumRefs() { return 0; }
  virtual RefTargetHandle GetReference(int i) {
    (void)i;
    return nullptr;
  }
  virtual BOOL IsRefTarget() { return FALSE; }
  virtual BOOL IsRefMaker() { return TRUE; }
  // FALSE for weak references: they neither keep the target alive nor get cloned.
  virtual BOOL IsRealDependency(ReferenceTarget* rtarg) {
    (void)rtarg;
    return TRUE;
  }
  // Whether a weak reference is still written to scene files.
  virtual BOOL ShouldPersistWeakRef(RefTargetHandle rtarg) {
    (void)rtarg;
    return FALSE;
  }
  // Enumerates this maker for a DependentEnumProc (a maker that is no target ends the walk).
  BOOL DoEnumDependents(DependentEnumProc* dep);
  virtual BOOL DoEnumDependentsImpl(DependentEnumProc* dep);

  virtual IOResult Save(ISave* isave);
  virtual IOResult Load(ILoad* iload);
  virtual int RemapRefOnLoad(int iref) { return iref; }

  // Sends a message through this maker's NotifyRefChanged (host use: propagation, tests).
  RefResult NotifyRefChangedFrom(const Interval& changeInt, RefTargetHandle hTarget, PartID& partID,
                                 RefMessage message, BOOL propagate) {
    return NotifyRefChanged(changeInt, hTarget, partID, message, propagate);
  }

 protected:
  // Called by the host only, when a reference is set, replaced or deleted.
  virtual void SetReference(int i, RefTargetHandle rtarg) { (void)i, (void)rtarg; }
  virtual RefResult NotifyRefChanged(const Interval& changeInt, RefTargetHandle hTarget,
                                     PartID& partID, RefMessage message, BOOL propagate) = 0;

 private:
  // The targets this maker holds references to (one entry per reference), kept by the
  // host so that a maker destroyed without DeleteAllRefs still unhooks from them.
  std::vector<ReferenceTarget*> mHeld;
};

class CoreExport ReferenceTarget : public ReferenceMaker {
  friend class ReferenceMaker;

 public:
  ReferenceTarget();
  ~ReferenceTarget() override;

  BOOL IsRefTarget() override { return TRUE; }

  // Sends `message` to every dependent. With propagate, a dependent that answers
  // REF_SUCCEED passes the message on to its own dependents.
  RefResult NotifyDependents(
      const Interval& changeInt, PartID partID, RefMessage message, SClass_ID sclass = NOTIFY_ALL,
      BOOL propagate = TRUE, RefTargetHandle hTarg = nullptr,
      NotifyDependentsOption notifyDependentsOption = REFNOTIFY_ALLOW_OPTIMIZATIONS);

  // Visits this target first, then its dependents recursively. Returns TRUE if halted.
  BOOL DoEnumDependentsImpl(DependentEnumProc* dep) override;
  // Makers that reference this target, one entry per reference.
  const std::vector<ReferenceMaker*>& Dependents() const { return mDependents; }
  BOOL HasDependents() { return mDependents.empty() ? FALSE : TRUE; }
  BOOL HasRealDependents();

  virtual RefTargetHandle Clone(RemapDir& remap);
  virtual void BaseClone(ReferenceTarget* from, ReferenceTarget* to, RemapDir& remap);

  // Notices from the host: a reference to this target was added / deleted.
  virtual void RefAdded(RefMakerHandle rm) { (void)rm; }
  virtual void RefAddedUndoRedo(RefMakerHandle rm) { (void)rm; }
#if MAX_VERSION_MAJOR >= 28
  // From 2026 the notice names the maker that dropped its reference.
  virtual void RefDeleted(ReferenceMaker* oldOwner) {
    (void)oldOwner;
  }
  virtual void RefDeletedUndoRedo(RefMakerHandle oldOwner) {
    (void)oldOwner;
  }
#else
  virtual void RefDeleted() {}
  virtual void RefDeletedUndoRedo() {}
#endif

  // Sends REFMSG_TARGET_DELETED, removes every reference to and from this target and
  // deletes it.
  RefResult DeleteMe();
  // Deletes the target if no real reference to it is left.
  RefResult MaybeAutoDelete();
  void SetAutoDelete(bool on) { mAutoDelete = on; }
  bool IsBeingDeleted() const { return mBeingDeleted; }

 private:
  // Clears every maker's references to this target, without messages.
  void DetachDependents();

  std::vector<ReferenceMaker*> mDependents;
  bool mBeingDeleted = false;
  bool mAutoDelete = true;
};

typedef void (*PostPatchProc)(void*);

// Maps originals to their clones while a group of objects is cloned, so that an object
// referenced twice is cloned once.
class CoreExport RemapDir : public MaxHeapOperators {
 public:
  virtual ~RemapDir() = default;
  virtual RefTargetHandle GetPtr(RefTargetHandle oldTarg) = 0;
  // The clone of oldTarg: the one already made in this directory, or a new one.
  virtual RefTargetHandle CloneRef(RefTargetHandle oldTarg);
  virtual void PatchPointer(RefTargetHandle* patchThis, RefTargetHandle oldTarg) = 0;
  virtual void AddEntry(RefTargetHandle hfrom, RefTargetHandle hto) = 0;
  virtual void Backpatch() = 0;
  virtual void Clear() = 0;
  virtual void ClearBackpatch() {}
  virtual void DeleteThis() = 0;
};

// A new remap directory (free it with DeleteThis), and the shared "no remapping" one.
CoreExport RemapDir* NewRemapDir(BOOL use_A_WORK2_flag = FALSE);
CoreExport RemapDir& NoRemap();
// Clones rm with a fresh remap directory.
CoreExport RefTargetHandle CloneRefHierarchy(RefTargetHandle rm);

// Suspends, for its lifetime, each activity whose switch is on: undo recording, macro
// recording, animate mode, set-key mode, automatic backup, changes of the scene's
// save-required flag (its value is restored when the guard ends), reference messages and,
// from 2019, scene-explorer updates.
class CoreExport SuspendAll : public MaxHeapOperators {
 public:
#if MAX_VERSION_MAJOR >= 28
  SuspendAll(bool holdState = false, bool macroRecorder = false, bool animateMode = false,
             bool setKeyMode = false, bool autoBackup = false, bool saveRequired = false,
             bool refMsgs = false, bool sceneExplorerUpdates = false);
#elif MAX_VERSION_MAJOR >= 21
  SuspendAll(BOOL holdState = FALSE, BOOL macroRecorder = FALSE, BOOL animateMode = FALSE,
             BOOL setKeyMode = FALSE, BOOL autoBackup = FALSE, BOOL saveRequired = FALSE,
             BOOL refMsgs = FALSE, BOOL sceneExplorerUpdates = FALSE);
#else
  SuspendAll(BOOL holdState = FALSE, BOOL macroRecorder = FALSE, BOOL animateMode = FALSE,
             BOOL setKeyMode = FALSE, BOOL autoBackup = FALSE, BOOL saveRequired = FALSE,
             BOOL refMsgs = FALSE);
#endif
  ~SuspendAll();
  void Suspend();
  void Resume();

 private:
  bool mHold, mMacro, mAnimate, mSetKey, mAutoBackup, mSaveRequired, mRefMsgs, mSceneExplorer;
  bool mSuspended = false;
  BOOL mSavedSaveRequired = FALSE;
};

// The stand-in's counters of the macro recorder, set-key mode, automatic backup and
// scene-explorer suspensions, read by tests.
CoreExport int MacroRecorderSuspendCount();
CoreExport int SetKeyModeSuspendCount();
CoreExport int AutoBackupSuspendCount();
CoreExport int SceneExplorerSuspendCount();
