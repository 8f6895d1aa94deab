// Undo recording (theHold) and the guards that suspend host activities.
#pragma once

#include <vector>

#include "maxheap.h"
#include "maxtypes.h"
#include "strclass.h"

class CoreExport RestoreObj : public MaxHeapOperators {
 public:
  virtual ~RestoreObj() = default;
  virtual void Restore(int isUndo) = 0;
  virtual void Redo() = 0;
  virtual int Size() { return 1; }
  virtual void EndHold() {}
  virtual MSTR Description() { return MSTR(_M("---")); }
};

// Records restore objects between Begin and Accept/Cancel. Cancel restores them in reverse
// order. While suspended, Holding() is false and Put discards what it is given.
class CoreExport Hold : public MaxHeapOperators {
 public:
  Hold();
  ~Hold();
  void Begin();
  void Accept(const MCHAR* name);
  void Accept(int nameID) { (void)nameID, Accept(static_cast<const MCHAR*>(nullptr)); }
  void Cancel();
  void Put(RestoreObj* rob);
  int Holding();
  void Suspend();
  void Resume();
  int IsSuspended();
  int Restoring(int& isUndo);
  int Redoing() { return FALSE; }
  int RestoreOrRedoing() { return FALSE; }
  // Number of restore objects recorded since the outermost Begin.
  int NumRecorded() const { return static_cast<int>(mRecords.size()); }

 private:
  std::vector<RestoreObj*> mRecords;
  int mBeginDepth = 0;
  int mSuspendCount = 0;
  bool mRestoring = false;
};

extern CoreExport Hold theHold;

class HoldSuspend : public MaxHeapOperators {
 public:
  explicit HoldSuspend(BOOL suspendNow = TRUE) {
    if (suspendNow) Suspend();
  }
  ~HoldSuspend() { Resume(); }
  void Suspend() {
    if (!mSuspended) {
      theHold.Suspend();
      mSuspended = true;
    }
  }
  void Resume() {
    if (mSuspended) {
      theHold.Resume();
      mSuspended = false;
    }
  }

 private:
  bool mSuspended = false;
};

