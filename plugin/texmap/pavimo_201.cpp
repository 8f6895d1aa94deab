// Release 2.01: the map keeps its one reference, the parameter block, itself and handles the
// block's messages in its own change handler.
#include "shell/release.h"

#if TILVARA_RELEASE == 201

#include <hold.h>
#include <iparamm2.h>

#include "editor/script_bridge.h"
#include "shell/tilvara.h"
#include "texmap/pavimo.h"

Pavimo::Pavimo() {
  GetPavimoDesc()->MakeAutoParamBlocks(this);
  Reset();
  // Updates that ran while the block was being reset wrote into no sub-texture: the first
  // update of the finished map writes every bitmap setting.
  cache_.settingsWritten = false;
}

Pavimo::~Pavimo() {
  DiscardTexHandle();
  // The dialog's closing handler still reaches the whole map through its script wrapper.
  CloseManagerDialog(*this);
  ReleaseKeptDialog(*this);
  table_.Init();
  theHold.Suspend();
  DeleteAllRefs();
  theHold.Resume();
}

int Pavimo::NumRefs() {
  return 1;
}

RefTargetHandle Pavimo::GetReference(int /*i*/) {
  return ref0_;
}

// Every index names the one reference. Something other than a parameter block (a damaged
// scene) is held, but the map then behaves as a map without a block.
void Pavimo::SetReference(int /*i*/, RefTargetHandle rtarg) {
  ref0_ = rtarg;
  pblock_ = dynamic_cast<IParamBlock2*>(rtarg);
}

RefResult Pavimo::NotifyRefChanged(const Interval& /*changeInt*/, RefTargetHandle hTarget,
                                   PartID& /*partID*/, RefMessage message, BOOL /*propagate*/) {
  if (pblock_ && hTarget == pblock_) BlockMessage(message);
  return REF_SUCCEED;
}

void Pavimo::BlockMessage(RefMessage message) {
  IParamBlock2* pb = Block();
  switch (message) {
    case REFMSG_CHANGE: {
      cache_.validity.SetEmpty();
      const ParamID id = pb->LastNotifyParamID();
      pb->GetDesc()->InvalidateUI(id, -1);
      if (id == pb_submaps) DiscardTexHandle();
      break;
    }
    case REFMSG_SUBANIM_STRUCTURE_CHANGED: {
      if (pb->LastNotifyParamID() != pb_submaps) break;
      // A change in the number of entries comes without a change message: the cache has to
      // go, or the lists would not be fitted to `submaps` before the dialog redraws.
      cache_.validity.SetEmpty();
      Interval forever = FOREVER;
      Update(0, forever);
      UpdateManagerDialog(*this);
      break;
    }
    default:
      break;
  }
}

void Pavimo::RefDeleted() {
  CheckMaterials();
}

// Asks the dependents, through every material and map above the map, for a node: a node that
// the map still reaches raises the counter. A map that reaches none closes its dialog.
void Pavimo::CheckMaterials() {
  ULONG counter = 0;
  NotifyDependents(FOREVER, reinterpret_cast<PartID>(&counter), REFMSG_GET_NODE_HANDLE, NOTIFY_ALL,
                   TRUE);
  if (counter == 0) CloseManagerDialog(*this);
}

#endif
