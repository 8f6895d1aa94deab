#include "render/uv_generator.h"

#include "core/param_block.h"

#include <cmath>

namespace maxhost {
namespace {

class UVGeneratorClassDesc : public ClassDesc2 {
 public:
  int IsPublic() override { return 0; }
  void* Create(BOOL loading) override { return new UVGenerator(loading); }
  const MCHAR* ClassName() override { return _M("StandardUVGen"); }
#if MAX_VERSION_MAJOR >= 24
  const MCHAR* NonLocalizedClassName() override {
    return _M("StandardUVGen");
  }
#endif
  SClass_ID SuperClassID() override { return UVGEN_CLASS_ID; }
  Class_ID ClassID() override { return Class_ID(STDUV_CLASS_ID, 0); }
  const MCHAR* Category() override { return _M(""); }
  const MCHAR* InternalName() override { return _M("StandardUVGen"); }
};

}  // namespace

ClassDesc2* GetUVGeneratorDesc() {
  static UVGeneratorClassDesc desc;
  // clang-format off
  // Block 0, "coords", no display name, owned by desc, auto-constructed at reference 0.
  static ParamBlockDesc2 block(
      0, _M("coords"), 0, &desc, P_AUTO_CONSTRUCT, 0,
      kUVOffsetU, _M("U_Offset"), TYPE_FLOAT, P_ANIMATABLE, 0,
        p_default, 0.0f, p_range, -1.0e6f, 1.0e6f, p_end,
      kUVOffsetV, _M("V_Offset"), TYPE_FLOAT, P_ANIMATABLE, 0,
        p_default, 0.0f, p_range, -1.0e6f, 1.0e6f, p_end,
      kUVTilingU, _M("U_Tiling"), TYPE_FLOAT, P_ANIMATABLE, 0,
        p_default, 1.0f, p_range, -1.0e6f, 1.0e6f, p_end,
      kUVTilingV, _M("V_Tiling"), TYPE_FLOAT, P_ANIMATABLE, 0,
        p_default, 1.0f, p_range, -1.0e6f, 1.0e6f, p_end,
      kUVAngleU, _M("U_Angle"), TYPE_ANGLE, P_ANIMATABLE, 0,
        p_default, 0.0f, p_end,
      kUVAngleV, _M("V_Angle"), TYPE_ANGLE, P_ANIMATABLE, 0,
        p_default, 0.0f, p_end,
      kUVAngleW, _M("W_Angle"), TYPE_ANGLE, P_ANIMATABLE, 0,
        p_default, 0.0f, p_end,
      kUVBlur, _M("Blur"), TYPE_FLOAT, P_ANIMATABLE, 0,
        p_default, 1.0f, p_range, 0.0f, 100.0f, p_end,
      kUVBlurOffset, _M("Blur_Offset"), TYPE_FLOAT, P_ANIMATABLE, 0,
        p_default, 0.0f, p_range, 0.0f, 1.0f, p_end,
      kUVMapChannel, _M("mapChannel"), TYPE_INT, 0, 0,
        p_default, 1, p_range, 0, 99, p_end,
      p_end);
  // clang-format on
  return &desc;
}

void UVTransform::Apply(const Point3& uvw, const Point3& duvw, Point2& uv, Point2& duv) const {
  const float x = uvw.x - 0.5f - offsetU;
  const float y = uvw.y - 0.5f - offsetV;
  const float c = std::cos(angleW), s = std::sin(angleW);
  // The lookup turns clockwise so that the map appears turned counter-clockwise.
  uv.x = (c * x + s * y) * tilingU + 0.5f;
  uv.y = (c * y - s * x) * tilingV + 0.5f;
  const float du = std::fabs(duvw.x), dv = std::fabs(duvw.y);
  duv.x = (std::fabs(c) * du + std::fabs(s) * dv) * std::fabs(tilingU);
  duv.y = (std::fabs(s) * du + std::fabs(c) * dv) * std::fabs(tilingV);
}

void UVTransform::Apply(ShadeContext& sc, Point2& uv, Point2& duv) const {
  Apply(sc.UVW(channel), sc.DUVW(channel), uv, duv);
}

UVGenerator::UVGenerator(BOOL loading) {
  (void)loading;  // the block is made either way; a load then replaces its values
  GetUVGeneratorDesc()->MakeAutoParamBlocks(this);
}

void UVGenerator::GetUV(ShadeContext& sc, Point2& UV, Point2& dUV) {
  xf_.Apply(sc, UV, dUV);
}

void UVGenerator::SetMapChannel(int s) {
  if (pblock_) pblock_->SetValue(kUVMapChannel, 0, s);
}

void UVGenerator::Set(ParamID id, float v, TimeValue t) {
  if (pblock_) pblock_->SetValue(id, t, v);
}

float UVGenerator::Get(ParamID id, TimeValue t) {
  return pblock_ ? pblock_->GetFloat(id, t) : 0.0f;
}

void UVGenerator::Update(TimeValue t, Interval& valid) {
  if (!ivalid_.InInterval(t)) {
    ivalid_ = FOREVER;
    if (pblock_) {
      pblock_->GetValue(kUVOffsetU, t, xf_.offsetU, ivalid_);
      pblock_->GetValue(kUVOffsetV, t, xf_.offsetV, ivalid_);
      pblock_->GetValue(kUVTilingU, t, xf_.tilingU, ivalid_);
      pblock_->GetValue(kUVTilingV, t, xf_.tilingV, ivalid_);
      pblock_->GetValue(kUVAngleW, t, xf_.angleW, ivalid_);
      pblock_->GetValue(kUVBlur, t, xf_.blur, ivalid_);
      pblock_->GetValue(kUVBlurOffset, t, xf_.blurOffset, ivalid_);
      pblock_->GetValue(kUVMapChannel, t, xf_.channel, ivalid_);
    }
  }
  valid &= ivalid_;
}

void UVGenerator::Reset() {
  GetUVGeneratorDesc()->Reset(this, TRUE, FALSE);
  ivalid_.SetEmpty();
}

Interval UVGenerator::Validity(TimeValue t) {
  Interval v = FOREVER;
  Update(t, v);
  return ivalid_;
}

MSTR UVGenerator::SubAnimName(int i MAXHOST_LOCALIZED) {
  return i == 0 ? MSTR(_M("Parameters")) : MSTR();
}

RefTargetHandle UVGenerator::GetReference(int i) {
  return i == 0 ? pblock_ : nullptr;
}

void UVGenerator::SetReference(int i, RefTargetHandle rtarg) {
  if (i != 0 || (rtarg && !IsBlockOf(rtarg, GetUVGeneratorDesc(), 0))) return;
  pblock_ = static_cast<IParamBlock2*>(rtarg);
}

RefTargetHandle UVGenerator::Clone(RemapDir& remap) {
  auto* copy = new UVGenerator(TRUE);
  copy->ReplaceReference(0, remap.CloneRef(pblock_));
  BaseClone(this, copy, remap);
  return copy;
}

RefResult UVGenerator::NotifyRefChanged(const Interval&, RefTargetHandle hTarget, PartID&,
                                        RefMessage message, BOOL) {
  if (hTarget == pblock_ && message == REFMSG_CHANGE) ivalid_.SetEmpty();
  return REF_SUCCEED;
}

}  // namespace maxhost
