#include "render/block_texmap.h"

#include "core/param_block.h"

namespace maxhost {

void BlockTexmap::Update(TimeValue t, Interval& valid) {
  if (!ivalid_.InInterval(t)) {
    ivalid_ = FOREVER;
    if (pblock_) ReadParams(t, ivalid_);
  }
  valid &= ivalid_;
}

void BlockTexmap::Reset() {
  Desc()->Reset(this, TRUE, FALSE);
  ivalid_.SetEmpty();
}

Interval BlockTexmap::Validity(TimeValue t) {
  Interval v = FOREVER;
  Update(t, v);
  return ivalid_;
}

MSTR BlockTexmap::SubAnimName(int i MAXHOST_LOCALIZED) {
  return i == 0 ? MSTR(_M("Parameters")) : MSTR();
}

RefTargetHandle BlockTexmap::Clone(RemapDir& remap) {
  BlockTexmap* copy = MakeEmpty();
  copy->ReplaceReference(0, remap.CloneRef(pblock_));
  BaseClone(this, copy, remap);
  return copy;
}

void BlockTexmap::SetReference(int i, RefTargetHandle rtarg) {
  if (i != 0 || (rtarg && !IsBlockOf(rtarg, Desc(), 0))) return;
  pblock_ = static_cast<IParamBlock2*>(rtarg);
  ParamChanged();
  ivalid_.SetEmpty();
}

RefResult BlockTexmap::NotifyRefChanged(const Interval&, RefTargetHandle hTarget, PartID&,
                                        RefMessage message, BOOL) {
  if (hTarget == pblock_ &&
      (message == REFMSG_CHANGE || message == REFMSG_SUBANIM_STRUCTURE_CHANGED)) {
    ParamChanged();
    ivalid_.SetEmpty();
  }
  return REF_SUCCEED;
}

}  // namespace maxhost
