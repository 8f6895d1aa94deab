// Update: the shading cache, the selection table, the bitmap settings of sub-textures and
// the viewport display handle.
#include <algorithm>
#include <cmath>

#include <hold.h>
#include <maxapi.h>
#include <ref.h>
#include <stdmat.h>

#include "shell/release.h"
#include "texmap/pavimo.h"

namespace {

// Filtering mode: parameter 8 of a bitmap texture's block.
constexpr ParamID kBitmapFilteringParam = 8;

// Different also when either side is not a number.
bool Differs(float a, float b) {
  return !(a == b);
}

}  // namespace

void Pavimo::Update(TimeValue t, Interval& valid) {
  IParamBlock2* pb = Block();
  if (!pb) return;
  if (!cache_.validity.InInterval(t)) Recompute(t, pb);
  valid &= cache_.validity;
}

Pavimo::BitmapSettings Pavimo::ReadShadingValues(TimeValue t, IParamBlock2* pb) {
  PavimoCache& c = cache_;
  float occGamma = 0.0f, occHue = 0.0f, occSat = 0.0f;
  pb->GetValue(pb_all_gamma, t, c.adjust.allGamma, c.validity);
  pb->GetValue(pb_all_hue, t, c.adjust.allHue, c.validity);
  pb->GetValue(pb_all_sat, t, c.adjust.allSat, c.validity);
  pb->GetValue(pb_rnd_gamma, t, c.adjust.rndGamma, c.validity);
  pb->GetValue(pb_rnd_hue, t, c.adjust.rndHue, c.validity);
  pb->GetValue(pb_rnd_sat, t, c.adjust.rndSat, c.validity);
  pb->GetValue(pb_occ_gamma, t, occGamma, c.validity);
  pb->GetValue(pb_occ_hue, t, occHue, c.validity);
  pb->GetValue(pb_occ_sat, t, occSat, c.validity);
  int rndBy = 0, seed = 0;
  pb->GetValue(pb_rnd_by, t, rndBy, c.validity);
  pb->GetValue(pb_seed, t, seed, c.validity);
  c.rndBy = rndBy;
  c.seed = seed;
  // Gamma skews the other way: a high distribution pushes toward the low, brighter exponent.
  c.adjust.fracGamma = 1.0f - occGamma / 100.0f;
  c.adjust.fracHue = occHue / 100.0f;
  c.adjust.fracSat = occSat / 100.0f;

  BitmapSettings settings;
  int filtering = 0;
  pb->GetValue(pb_filtering, t, filtering, c.validity);
  pb->GetValue(pb_blur, t, settings.blur, c.validity);
  pb->GetValue(pb_rotate, t, settings.rotation, c.validity);
  settings.filtering = filtering;
  int useColor = 0;
  pb->GetValue(pb_sub_color, t, c.flatColor, c.validity);
  pb->GetValue(pb_use_color, t, useColor, c.validity);
  c.useColor = useColor != 0 ? 1 : 0;
  return settings;
}

Pavimo::BitmapWrite Pavimo::ChangedSettings(const BitmapSettings& s) const {
  const PavimoCache& c = cache_;
  BitmapWrite which;
  which.filtering = !c.settingsWritten || s.filtering != c.lastFiltering;
  which.blur = !c.settingsWritten || Differs(s.blur, c.lastBlur);
  which.rotation = !c.settingsWritten || Differs(s.rotation, c.lastRotation);
  return which;
}

void Pavimo::RememberWrittenSettings(const BitmapSettings& s) {
  cache_.settingsWritten = true;
  cache_.lastFiltering = s.filtering;
  cache_.lastBlur = s.blur;
  cache_.lastRotation = s.rotation;
}

void Pavimo::WriteBitmapSettings(Texmap* m, TimeValue t, const BitmapSettings& s,
                                 const BitmapWrite& which) {
  if (m->ClassID() != Class_ID(BMTEX_CLASS_ID, 0)) return;
  if (which.filtering) {
    if (IParamBlock2* bitmapBlock = m->GetParamBlock(0))
      bitmapBlock->SetValue(kBitmapFilteringParam, t, s.filtering);
  }
  UVGen* uvGen = m->GetTheUVGen();
  if (uvGen && uvGen->IsStdUVGen()) {
    auto* stdUVGen = static_cast<StdUVGen*>(uvGen);
    if (which.blur) stdUVGen->SetBlur(s.blur, t);
    if (which.rotation) stdUVGen->SetWAng(s.rotation, t);
  }
}

void Pavimo::AppendEntries(PavimoTableEntry entry, int weight) {
  const int room = kMaxTableEntries - table_.Count();
  if (weight < 1 || room <= 0) return;
  const int add = (std::min)(weight, room);
  const int start = table_.Count();
  table_.SetCount(start + add);
  for (int k = 0; k < add; ++k) table_[start + k] = entry;
}

void Pavimo::UpdateSubTextures(TimeValue t, IParamBlock2* pb, int n) {
  for (int i = 0; i < n; ++i) {
    if (Texmap* m = pb->GetTexmap(pb_submaps, t, i)) m->Update(t, cache_.validity);
  }
}

// Release 2.01 recomputes in pavimo_update_201.cpp.
#if TILVARA_RELEASE == 204
namespace {

// Holds off scene redraws for the length of a recompute, when the host offers it; resumes
// also when an exception leaves the update.
class SceneRedrawSuspend {
 public:
  SceneRedrawSuspend() : ip_(GetCOREInterface()) {
    if (ip_) ip_->DisableSceneRedraw();
  }
  ~SceneRedrawSuspend() {
    if (ip_) ip_->EnableSceneRedraw();
  }
  SceneRedrawSuspend(const SceneRedrawSuspend&) = delete;
  SceneRedrawSuspend& operator=(const SceneRedrawSuspend&) = delete;

 private:
  Interface* ip_;
};

}  // namespace

void Pavimo::Recompute(TimeValue t, IParamBlock2* pb) {
  cache_.validity = FOREVER;
  const BitmapSettings settings = ReadShadingValues(t, pb);

  SceneRedrawSuspend redrawSuspend;
  const int n = pb->Count(pb_submaps);
  {
    // Fitting the lists is bookkeeping: no undo record, no change message to the map. On:
    // undo, macro recorder, animate and set-key modes, auto backup, the save-required flag
    // and reference messages; from 2019 the scene explorer's switch stays off.
#if MAX_VERSION_MAJOR >= 21
    SuspendAll suspend(TRUE, TRUE, TRUE, TRUE, TRUE, TRUE, TRUE, FALSE);
#else
    SuspendAll suspend(TRUE, TRUE, TRUE, TRUE, TRUE, TRUE, TRUE);
#endif
    pb->SetCount(pb_submap_on, n);
    pb->SetCount(pb_probability, n);
  }

  // Each setting goes, when it changed, into the bitmap sub-textures that are switched on.
  table_.ZeroCount();
  picker_ = tilvara::EntryPicker();
  const BitmapWrite changed = ChangedSettings(settings);
  for (int i = 0; i < n; ++i) {
    int on = 0;
    pb->GetValue(pb_submap_on, t, on, cache_.validity, i);
    if (!on) continue;
    int weight = 0;
    pb->GetValue(pb_probability, t, weight, cache_.validity, i);
    Texmap* m = pb->GetTexmap(pb_submaps, t, i);
    if (!m) continue;
    AppendEntries(m, weight);
    WriteBitmapSettings(m, t, settings, changed);
  }
  picker_ = tilvara::EntryPicker(table_.Count());
  RememberWrittenSettings(settings);

  UpdateSubTextures(t, pb, n);
}
#endif

Interval Pavimo::Validity(TimeValue t) {
  Interval scratch = NEVER;
  Update(t, scratch);
  return cache_.validity;
}

DWORD_PTR Pavimo::GetActiveTexHandle(TimeValue t, TexHandleMaker& thmaker) {
  if (texHandle_) {
    if (texHandleValid_.InInterval(t)) return texHandle_->GetHandle();
    DiscardTexHandle();
  }
  texHandleValid_ = FOREVER;
  BITMAPINFO* bmi = GetVPDisplayDIB(t, thmaker, texHandleValid_, FALSE, 0, 0);
  texHandle_ = thmaker.MakeHandle(bmi);
  return texHandle_ ? texHandle_->GetHandle() : 0;
}

void Pavimo::ActivateTexDisplay(BOOL onoff) {
  if (!onoff) DiscardTexHandle();
}

void Pavimo::DiscardTexHandle() {
  if (texHandle_) {
    texHandle_->DeleteThis();
    texHandle_ = nullptr;
  }
}
