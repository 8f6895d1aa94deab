#pragma once
// Two plain maps of the host: a constant colour and a two-colour checker.
#include "render/block_texmap.h"
#include "stdmat.h"

namespace maxhost {

#define CONSTANT_COLOR_CLASS_ID Class_ID(0x5a1e0c01, 0x1d2a7c01)

enum ConstantColorParam : ParamID { kConstantColor = 0 };

class ConstantColorMap : public BlockTexmap {
 public:
  explicit ConstantColorMap(BOOL loading = FALSE);
  void SetColor(const Color& c, TimeValue t = 0);
  AColor EvalColor(ShadeContext& sc) override;
  Point3 EvalNormalPerturb(ShadeContext&) override { return Point3(0.0f, 0.0f, 0.0f); }

 protected:
  ClassDesc2* Desc() const override;
  BlockTexmap* MakeEmpty() override { return new ConstantColorMap(TRUE); }
  void ReadParams(TimeValue t, Interval& valid) override;

 private:
  Color color_ = Color(0.5f, 0.5f, 0.5f);
};

enum CheckerParam : ParamID {
  kCheckerColor1 = 0,
  kCheckerColor2 = 1,
  kCheckerTiling = 2,  // squares per UV unit
  kCheckerMapChannel = 3,
};

// Square (i, j) with i + j even shows colour 1; square (0, 0) starts at the UV origin.
class CheckerMap : public BlockTexmap {
 public:
  explicit CheckerMap(BOOL loading = FALSE);
  AColor EvalColor(ShadeContext& sc) override;
  Point3 EvalNormalPerturb(ShadeContext&) override { return Point3(0.0f, 0.0f, 0.0f); }
  int GetMapChannel() override { return channel_; }

 protected:
  ClassDesc2* Desc() const override;
  BlockTexmap* MakeEmpty() override { return new CheckerMap(TRUE); }
  void ReadParams(TimeValue t, Interval& valid) override;

 private:
  Color color1_ = Color(0.0f, 0.0f, 0.0f);
  Color color2_ = Color(1.0f, 1.0f, 1.0f);
  float tiling_ = 2.0f;
  int channel_ = 1;
};

ClassDesc2* GetConstantColorDesc();
ClassDesc2* GetCheckerDesc();

}  // namespace maxhost
