// Release 2.01 update: the shading cache, a selection table of positions in `submaps`, and
// the bitmap settings, written all three at once into every bitmap sub-texture.
#include "shell/release.h"

#if TILVARA_RELEASE == 201

#include "texmap/pavimo.h"

void Pavimo::Recompute(TimeValue t, IParamBlock2* pb) {
  PavimoCache& c = cache_;
  c.validity = FOREVER;
  const BitmapSettings settings = ReadShadingValues(t, pb);
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
    AppendEntries(i, weight);
  }
  picker_ = tilvara::EntryPicker(table_.Count());

  // All three settings go into every bitmap sub-texture, switched on or off, as soon as one
  // of them differs from what was written last.
  const BitmapWrite changed = ChangedSettings(settings);
  if (changed.filtering || changed.blur || changed.rotation) {
    RememberWrittenSettings(settings);
    const BitmapWrite all{true, true, true};
    for (int i = 0; i < n; ++i) {
      if (Texmap* m = pb->GetTexmap(pb_submaps, t, i)) WriteBitmapSettings(m, t, settings, all);
    }
  }

  UpdateSubTextures(t, pb, n);
}

#endif
