#pragma once
// Base of the host's simple maps: one parameter block at reference 0, whose values Update copies
// into plain fields (ReadParams) so that shading never reads the block.
#include "iparamb2.h"
#include "imtl.h"
#include "core/year_forms.h"

namespace maxhost {

class BlockTexmap : public Texmap {
 public:
  // MtlBase
  void Update(TimeValue t, Interval& valid) override;
  void Reset() override;
  Interval Validity(TimeValue t) override;
  ParamDlg* CreateParamDlg(HWND, IMtlParams*) override { return nullptr; }

  // Animatable / references
  void GetClassName(MSTR& s MAXHOST_LOCALIZED) MAXHOST_CLASS_NAME_CONST override {
    s = MSTR(Desc()->ClassName());
  }
  Class_ID ClassID() override { return Desc()->ClassID(); }
  int NumSubs() override { return 1; }
  Animatable* SubAnim(int i) override { return i == 0 ? pblock_ : nullptr; }
  MSTR SubAnimName(int i MAXHOST_LOCALIZED) override;
  int SubNumToRefNum(int subNum) override { return subNum == 0 ? 0 : -1; }
  int NumParamBlocks() override { return 1; }
  IParamBlock2* GetParamBlock(int i) override { return i == 0 ? pblock_ : nullptr; }
  IParamBlock2* GetParamBlockByID(BlockID id) override { return id == 0 ? pblock_ : nullptr; }
  int NumRefs() override { return 1; }
  RefTargetHandle GetReference(int i) override { return i == 0 ? pblock_ : nullptr; }
  RefTargetHandle Clone(RemapDir& remap) override;

 protected:
  BlockTexmap() = default;
  // Makes the block; call from the derived constructor.
  void MakeBlock() { Desc()->MakeAutoParamBlocks(this); }

  virtual ClassDesc2* Desc() const = 0;
  // A new object of the same class with no block values of its own (for Clone).
  virtual BlockTexmap* MakeEmpty() = 0;
  // Copies the block's values at t into plain fields, narrowing valid; updates sub-maps.
  virtual void ReadParams(TimeValue t, Interval& valid) = 0;
  // Called on the main thread when a parameter changes, before the validity is emptied.
  virtual void ParamChanged() {}

  void SetReference(int i, RefTargetHandle rtarg) override;
  RefResult NotifyRefChanged(const Interval& changeInt, RefTargetHandle hTarget, PartID& partID,
                             RefMessage message, BOOL propagate) override;

  IParamBlock2* pblock_ = nullptr;
  Interval ivalid_;
};

}  // namespace maxhost
