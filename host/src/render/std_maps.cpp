#include "render/std_maps.h"

#include <cmath>

namespace maxhost {
namespace {

class ConstantColorClassDesc : public ClassDesc2 {
 public:
  int IsPublic() override { return 1; }
  void* Create(BOOL loading) override { return new ConstantColorMap(loading); }
  const MCHAR* ClassName() override { return _M("Constant Color"); }
#if MAX_VERSION_MAJOR >= 24
  const MCHAR* NonLocalizedClassName() override {
    return _M("Constant Color");
  }
#endif
  SClass_ID SuperClassID() override { return TEXMAP_CLASS_ID; }
  Class_ID ClassID() override { return CONSTANT_COLOR_CLASS_ID; }
  const MCHAR* Category() override { return TEXMAP_CAT_2D; }
  const MCHAR* InternalName() override { return _M("ConstantColor"); }
};

class CheckerClassDesc : public ClassDesc2 {
 public:
  int IsPublic() override { return 1; }
  void* Create(BOOL loading) override { return new CheckerMap(loading); }
  const MCHAR* ClassName() override { return _M("Checker"); }
#if MAX_VERSION_MAJOR >= 24
  const MCHAR* NonLocalizedClassName() override {
    return _M("Checker");
  }
#endif
  SClass_ID SuperClassID() override { return TEXMAP_CLASS_ID; }
  Class_ID ClassID() override { return Class_ID(CHECKER_CLASS_ID, 0); }
  const MCHAR* Category() override { return TEXMAP_CAT_2D; }
  const MCHAR* InternalName() override { return _M("Checker"); }
};

}  // namespace

ClassDesc2* GetConstantColorDesc() {
  static ConstantColorClassDesc desc;
  // clang-format off
  // Block 0, "parameters", no display name, owned by desc, auto-constructed at reference 0.
  static ParamBlockDesc2 block(
      0, _M("parameters"), 0, &desc, P_AUTO_CONSTRUCT, 0,
      kConstantColor, _M("color"), TYPE_RGBA, P_ANIMATABLE, 0,
        p_default, Color(0.5f, 0.5f, 0.5f), p_end,
      p_end);
  // clang-format on
  return &desc;
}

ClassDesc2* GetCheckerDesc() {
  static CheckerClassDesc desc;
  // clang-format off
  // Block 0, "parameters", no display name, owned by desc, auto-constructed at reference 0.
  static ParamBlockDesc2 block(
      0, _M("parameters"), 0, &desc, P_AUTO_CONSTRUCT, 0,
      kCheckerColor1, _M("color1"), TYPE_RGBA, P_ANIMATABLE, 0,
        p_default, Color(0.0f, 0.0f, 0.0f), p_end,
      kCheckerColor2, _M("color2"), TYPE_RGBA, P_ANIMATABLE, 0,
        p_default, Color(1.0f, 1.0f, 1.0f), p_end,
      kCheckerTiling, _M("tiling"), TYPE_FLOAT, P_ANIMATABLE, 0,
        p_default, 2.0f, p_range, 0.0f, 1.0e6f, p_end,
      kCheckerMapChannel, _M("mapChannel"), TYPE_INT, 0, 0,
        p_default, 1, p_range, 0, 99, p_end,
      p_end);
  // clang-format on
  return &desc;
}

ConstantColorMap::ConstantColorMap(BOOL loading) {
  (void)loading;
  MakeBlock();
}

ClassDesc2* ConstantColorMap::Desc() const {
  return GetConstantColorDesc();
}

void ConstantColorMap::SetColor(const Color& c, TimeValue t) {
  if (pblock_) pblock_->SetValue(kConstantColor, t, c);
}

void ConstantColorMap::ReadParams(TimeValue t, Interval& valid) {
  pblock_->GetValue(kConstantColor, t, color_, valid);
}

AColor ConstantColorMap::EvalColor(ShadeContext&) {
  return AColor(color_, 1.0f);
}

CheckerMap::CheckerMap(BOOL loading) {
  (void)loading;
  MakeBlock();
}

ClassDesc2* CheckerMap::Desc() const {
  return GetCheckerDesc();
}

void CheckerMap::ReadParams(TimeValue t, Interval& valid) {
  pblock_->GetValue(kCheckerColor1, t, color1_, valid);
  pblock_->GetValue(kCheckerColor2, t, color2_, valid);
  pblock_->GetValue(kCheckerTiling, t, tiling_, valid);
  pblock_->GetValue(kCheckerMapChannel, t, channel_, valid);
}

AColor CheckerMap::EvalColor(ShadeContext& sc) {
  const Point3 uvw = sc.UVW(channel_);
  const double i = std::floor(double(uvw.x) * tiling_);
  const double j = std::floor(double(uvw.y) * tiling_);
  if (!std::isfinite(i) || !std::isfinite(j)) return AColor(color1_, 1.0f);
  const bool even = std::fmod(std::fabs(i + j), 2.0) < 1.0;
  return AColor(even ? color1_ : color2_, 1.0f);
}

}  // namespace maxhost
