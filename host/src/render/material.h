#pragma once
// A simple standard material: a diffuse colour and a diffuse map slot held in its parameter
// block, so that a map placed in the slot has the material among its dependents and taking it
// out deletes the block's reference to it.
#include "imtl.h"
#include "iparamb2.h"
#include "stdmat.h"
#include "core/year_forms.h"

namespace maxhost {

enum StandardMaterialParam : ParamID {
  kMtlDiffuse = 0,
  kMtlDiffuseMap = 1,
};

class StandardMaterial : public Mtl {
 public:
  explicit StandardMaterial(BOOL loading = FALSE);

  Texmap* DiffuseMap() { return GetSubTexmap(0); }
  // Puts a map into the diffuse slot (null empties it).
  void SetDiffuseMap(Texmap* m) { SetSubTexmap(0, m); }

  // Mtl: sc.out.c is the diffuse map's colour, or the diffuse colour without a map.
  void Shade(ShadeContext& sc) override;
  Color GetDiffuse(int mtlNum = 0, BOOL backFace = FALSE) override;
  void SetDiffuse(Color c, TimeValue t) override;

  // ISubMap
  int NumSubTexmaps() override { return 1; }
  Texmap* GetSubTexmap(int i) override;
  void SetSubTexmap(int i, Texmap* m) override;
  MSTR GetSubTexmapSlotName(int i MAXHOST_LOCALIZED) override;

  // MtlBase
  void Update(TimeValue t, Interval& valid) override;
  void Reset() override;
  Interval Validity(TimeValue t) override;
  ParamDlg* CreateParamDlg(HWND, IMtlParams*) override { return nullptr; }

  // Animatable / references
  Class_ID ClassID() override { return Class_ID(DMTL_CLASS_ID, 0); }
  void GetClassName(MSTR& s MAXHOST_LOCALIZED) MAXHOST_CLASS_NAME_CONST override {
    s = MSTR(_M("Standard"));
  }
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
  void SetReference(int i, RefTargetHandle rtarg) override;
  RefResult NotifyRefChanged(const Interval& changeInt, RefTargetHandle hTarget, PartID& partID,
                             RefMessage message, BOOL propagate) override;

 private:
  IParamBlock2* pblock_ = nullptr;
  Texmap* map_ = nullptr;  // the block's map, refreshed on every change of the block
  Color diffuse_ = Color(0.5f, 0.5f, 0.5f);
  Interval ivalid_;
};

ClassDesc2* GetStandardMaterialDesc();

}  // namespace maxhost
