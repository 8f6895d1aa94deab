// Release 2.01 update: the shading cache, a selection table of positions in `submaps`, and
// the bitmap settings, written all three at once into every bitmap sub-texture.
#include "shell/release.h"

#if TILVARA_RELEASE == 201

#include <algorithm>

#include <stdmat.h>

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

void Pavimo::Recompute(TimeValue t, IParamBlock2* pb) {
  PavimoCache& c = cache_;
  c.validity = FOREVER;

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
  c.adjust.fracGamma = 1.0f - occGamma / 100.0f;
  c.adjust.fracHue = occHue / 100.0f;
  c.adjust.fracSat = occSat / 100.0f;

  int filtering = 0;
  float blur = 0.0f, rotation = 0.0f;
  pb->GetValue(pb_filtering, t, filtering, c.validity);
  pb->GetValue(pb_blur, t, blur, c.validity);
  pb->GetValue(pb_rotate, t, rotation, c.validity);
  int useColor = 0;
  pb->GetValue(pb_sub_color, t, c.flatColor, c.validity);
  pb->GetValue(pb_use_color, t, useColor, c.validity);
  c.useColor = useColor != 0 ? 1 : 0;
  // Shading takes the flat colour and its switch at time 0, whatever the time; they do not
  // bound the cache's validity.
  Interval atZero = FOREVER;
  int useColorAt0 = 0;
  pb->GetValue(pb_sub_color, 0, c.flatColorAt0, atZero);
  pb->GetValue(pb_use_color, 0, useColorAt0, atZero);
  c.useColorAt0 = useColorAt0 != 0 ? 1 : 0;

  // Fitted only when they differ; each resize reports a structure change of its own list,
  // which the change handler leaves alone.
  const int n = pb->Count(pb_submaps);
  if (pb->Count(pb_submap_on) != n) pb->SetCount(pb_submap_on, n);
  if (pb->Count(pb_probability) != n) pb->SetCount(pb_probability, n);

  table_.ZeroCount();
  picker_ = tilvara::EntryPicker();
  for (int i = 0; i < n; ++i) {
    Interval onValid = FOREVER;
    int on = 0;
    pb->GetValue(pb_submap_on, 0, on, onValid, i);
    if (!on) continue;
    int weight = 0;
    pb->GetValue(pb_probability, t, weight, c.validity, i);
    if (!pb->GetTexmap(pb_submaps, t, i)) continue;
    const int room = kMaxTableEntries - table_.Count();
    if (weight >= 1 && room > 0) {
      const int add = std::min(weight, room);
      const int start = table_.Count();
      table_.SetCount(start + add);
      for (int k = 0; k < add; ++k) table_[start + k] = i;
    }
  }
  picker_ = tilvara::EntryPicker(table_.Count());

  // All three settings go into every bitmap sub-texture, switched on or off, as soon as one
  // of them differs from what was written last.
  const bool changed = !c.settingsWritten || filtering != c.lastFiltering ||
                       Differs(blur, c.lastBlur) || Differs(rotation, c.lastRotation);
  if (changed) {
    c.settingsWritten = true;
    c.lastFiltering = filtering;
    c.lastBlur = blur;
    c.lastRotation = rotation;
    for (int i = 0; i < n; ++i) {
      Texmap* m = pb->GetTexmap(pb_submaps, t, i);
      if (!m || m->ClassID() != Class_ID(BMTEX_CLASS_ID, 0)) continue;
      if (IParamBlock2* bitmapBlock = m->GetParamBlock(0))
        bitmapBlock->SetValue(kBitmapFilteringParam, t, filtering);
      UVGen* uvGen = m->GetTheUVGen();
      if (uvGen && uvGen->IsStdUVGen()) {
        auto* stdUVGen = static_cast<StdUVGen*>(uvGen);
        stdUVGen->SetBlur(blur, t);
        stdUVGen->SetWAng(rotation, t);
      }
    }
  }

  // Switched-off sub-textures are updated too.
  for (int i = 0; i < n; ++i) {
    if (Texmap* m = pb->GetTexmap(pb_submaps, t, i)) m->Update(t, c.validity);
  }
}

#endif
