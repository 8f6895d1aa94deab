#include "render/material.h"

#include "core/param_block.h"

namespace maxhost {
namespace {

class StandardMaterialClassDesc : public ClassDesc2 {
 public:
  int IsPublic() override { return 1; }
  void* Create(BOOL loading) override { return new StandardMaterial(loading); }
  const MCHAR* ClassName() override { return _M("Standard"); }
#if MAX_VERSION_MAJOR >= 24
  const MCHAR* NonLocalizedClassName() override {
    return _M("Standard");
  }
#endif
  SClass_ID SuperClassID() override { return MATERIAL_CLASS_ID; }
  Class_ID ClassID() override { return Class_ID(DMTL_CLASS_ID, 0); }
  const MCHAR* Category() override { return _M(""); }
  const MCHAR* InternalName() override { return _M("Standardmaterial"); }
};

}  // namespace

ClassDesc2* GetStandardMaterialDesc() {
  static StandardMaterialClassDesc desc;
  // clang-format off
  // Block 0, "parameters", no display name, owned by desc, auto-constructed at reference 0.
  static ParamBlockDesc2 block(
      0, _M("parameters"), 0, &desc, P_AUTO_CONSTRUCT, 0,
      kMtlDiffuse, _M("diffuse"), TYPE_RGBA, P_ANIMATABLE, 0,
        p_default, Color(0.5f, 0.5f, 0.5f), p_end,
      kMtlDiffuseMap, _M("diffuseMap"), TYPE_TEXMAP, 0, 0,
        p_subtexno, 0, p_end,
      p_end);
  // clang-format on
  return &desc;
}

StandardMaterial::StandardMaterial(BOOL loading) {
  (void)loading;
  GetStandardMaterialDesc()->MakeAutoParamBlocks(this);
}

void StandardMaterial::Shade(ShadeContext& sc) {
  sc.out.c = map_ && sc.doMaps ? Color(map_->EvalColor(sc)) : diffuse_;
  sc.out.t.Black();
}

Color StandardMaterial::GetDiffuse(int, BOOL) {
  return diffuse_;
}

void StandardMaterial::SetDiffuse(Color c, TimeValue t) {
  if (pblock_) pblock_->SetValue(kMtlDiffuse, t, c);
}

Texmap* StandardMaterial::GetSubTexmap(int i) {
  return i == 0 && pblock_ ? pblock_->GetTexmap(kMtlDiffuseMap, 0) : nullptr;
}

void StandardMaterial::SetSubTexmap(int i, Texmap* m) {
  if (i == 0 && pblock_) pblock_->SetValue(kMtlDiffuseMap, 0, m);
}

MSTR StandardMaterial::GetSubTexmapSlotName(int i MAXHOST_LOCALIZED) {
  return i == 0 ? MSTR(_M("Diffuse Color")) : MSTR();
}

void StandardMaterial::Update(TimeValue t, Interval& valid) {
  if (!ivalid_.InInterval(t)) {
    ivalid_ = FOREVER;
    if (pblock_) {
      pblock_->GetValue(kMtlDiffuse, t, diffuse_, ivalid_);
      map_ = pblock_->GetTexmap(kMtlDiffuseMap, t);
    }
  }
  // The map keeps its own validity; updating it every time keeps it current.
  if (map_) map_->Update(t, ivalid_);
  valid &= ivalid_;
}

void StandardMaterial::Reset() {
  GetStandardMaterialDesc()->Reset(this, TRUE, FALSE);
  ivalid_.SetEmpty();
}

Interval StandardMaterial::Validity(TimeValue t) {
  Interval v = FOREVER;
  Update(t, v);
  return ivalid_;
}

MSTR StandardMaterial::SubAnimName(int i MAXHOST_LOCALIZED) {
  return i == 0 ? MSTR(_M("Parameters")) : MSTR();
}

RefTargetHandle StandardMaterial::Clone(RemapDir& remap) {
  auto* copy = new StandardMaterial(TRUE);
  copy->ReplaceReference(0, remap.CloneRef(pblock_));
  BaseClone(this, copy, remap);
  return copy;
}

void StandardMaterial::SetReference(int i, RefTargetHandle rtarg) {
  if (i != 0 || (rtarg && !IsBlockOf(rtarg, GetStandardMaterialDesc(), 0))) return;
  pblock_ = static_cast<IParamBlock2*>(rtarg);
  map_ = pblock_ ? pblock_->GetTexmap(kMtlDiffuseMap, 0) : nullptr;
  ivalid_.SetEmpty();
}

RefResult StandardMaterial::NotifyRefChanged(const Interval&, RefTargetHandle hTarget, PartID&,
                                             RefMessage message, BOOL) {
  if (hTarget == pblock_ &&
      (message == REFMSG_CHANGE || message == REFMSG_SUBANIM_STRUCTURE_CHANGED)) {
    map_ = pblock_ ? pblock_->GetTexmap(kMtlDiffuseMap, 0) : nullptr;
    ivalid_.SetEmpty();
  }
  return REF_SUCCEED;
}

}  // namespace maxhost
