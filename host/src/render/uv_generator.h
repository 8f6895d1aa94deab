#pragma once
// The standard UV generator: offset, tiling and rotation of a map channel's coordinates, and the
// blur of the filter footprint. Values are read from its parameter block by Update and kept as
// plain numbers, so that shading never touches the block.
#include "iparamb2.h"
#include "stdmat.h"
#include "core/year_forms.h"

namespace maxhost {

// Parameter IDs of the generator's block ("coords").
enum UVGenParam : ParamID {
  kUVOffsetU = 0,
  kUVOffsetV = 1,
  kUVTilingU = 2,
  kUVTilingV = 3,
  kUVAngleU = 4,
  kUVAngleV = 5,
  kUVAngleW = 6,  // radians
  kUVBlur = 7,
  kUVBlurOffset = 8,
  kUVMapChannel = 9,
};

// The generator's settings as plain values. The U and V angles tilt the map out of its plane,
// which a planar lookup cannot show, so they are kept in the block but not applied.
struct UVTransform {
  int channel = 1;
  float offsetU = 0.0f, offsetV = 0.0f;
  float tilingU = 1.0f, tilingV = 1.0f;
  float angleW = 0.0f;  // counter-clockwise turn of the map about (0.5, 0.5)
  float blur = 1.0f;
  float blurOffset = 0.0f;

  // Coordinates and footprint of the sample in the map's own UV space.
  void Apply(ShadeContext& sc, Point2& uv, Point2& duv) const;
  void Apply(const Point3& uvw, const Point3& duvw, Point2& uv, Point2& duv) const;
};

class UVGenerator : public StdUVGen {
 public:
  explicit UVGenerator(BOOL loading = FALSE);

  // Values cached by the latest Update.
  const UVTransform& Transform() const { return xf_; }

  // UVGen
  void GetUV(ShadeContext& sc, Point2& UV, Point2& dUV) override;
  int GetMapChannel() override { return xf_.channel; }
  void SetMapChannel(int s) override;

  // StdUVGen
  void SetCoordMapping(int m) override { (void)m; }
  int GetCoordMapping(int) override { return UVMAP_EXPLICIT; }
  void SetUOffs(float f, TimeValue t) override { Set(kUVOffsetU, f, t); }
  void SetVOffs(float f, TimeValue t) override { Set(kUVOffsetV, f, t); }
  void SetUScl(float f, TimeValue t) override { Set(kUVTilingU, f, t); }
  void SetVScl(float f, TimeValue t) override { Set(kUVTilingV, f, t); }
  void SetUAng(float f, TimeValue t) override { Set(kUVAngleU, f, t); }
  void SetVAng(float f, TimeValue t) override { Set(kUVAngleV, f, t); }
  void SetWAng(float f, TimeValue t) override { Set(kUVAngleW, f, t); }
  void SetBlur(float f, TimeValue t) override { Set(kUVBlur, f, t); }
  void SetBlurOffs(float f, TimeValue t) override { Set(kUVBlurOffset, f, t); }
  float GetUOffs(TimeValue t) override { return Get(kUVOffsetU, t); }
  float GetVOffs(TimeValue t) override { return Get(kUVOffsetV, t); }
  float GetUScl(TimeValue t) override { return Get(kUVTilingU, t); }
  float GetVScl(TimeValue t) override { return Get(kUVTilingV, t); }
  float GetUAng(TimeValue t) override { return Get(kUVAngleU, t); }
  float GetVAng(TimeValue t) override { return Get(kUVAngleV, t); }
  float GetWAng(TimeValue t) override { return Get(kUVAngleW, t); }
  float GetBlur(TimeValue t) override { return Get(kUVBlur, t); }
  float GetBlurOffs(TimeValue t) override { return Get(kUVBlurOffset, t); }

  // MtlBase
  void Update(TimeValue t, Interval& valid) override;
  void Reset() override;
  Interval Validity(TimeValue t) override;
  ParamDlg* CreateParamDlg(HWND, IMtlParams*) override { return nullptr; }

  // Animatable / references
  Class_ID ClassID() override { return Class_ID(STDUV_CLASS_ID, 0); }
  void GetClassName(MSTR& s MAXHOST_LOCALIZED) MAXHOST_CLASS_NAME_CONST override {
    s = MSTR(_M("StandardUVGen"));
  }
  int NumSubs() override { return 1; }
  Animatable* SubAnim(int i) override { return i == 0 ? pblock_ : nullptr; }
  MSTR SubAnimName(int i MAXHOST_LOCALIZED) override;
  int SubNumToRefNum(int subNum) override { return subNum == 0 ? 0 : -1; }
  int NumParamBlocks() override { return 1; }
  IParamBlock2* GetParamBlock(int i) override { return i == 0 ? pblock_ : nullptr; }
  IParamBlock2* GetParamBlockByID(BlockID id) override { return id == 0 ? pblock_ : nullptr; }
  int NumRefs() override { return 1; }
  RefTargetHandle GetReference(int i) override;
  RefTargetHandle Clone(RemapDir& remap) override;

 protected:
  void SetReference(int i, RefTargetHandle rtarg) override;
  RefResult NotifyRefChanged(const Interval& changeInt, RefTargetHandle hTarget, PartID& partID,
                             RefMessage message, BOOL propagate) override;

 private:
  void Set(ParamID id, float v, TimeValue t);
  float Get(ParamID id, TimeValue t);

  IParamBlock2* pblock_ = nullptr;
  UVTransform xf_;
  Interval ivalid_;
};

ClassDesc2* GetUVGeneratorDesc();

}  // namespace maxhost
