// The host's parameter block: construction, references and descriptor queries. Values
// and keys, lists, and saving live in param_block_{values,lists,io}.cpp.
#include "core/param_block.h"

#include <algorithm>

#include <imtl.h>
#include <inode.h>

#include "core/param_block_kinds.h"

namespace maxhost {

using pblock::AcceptsTarget;
using pblock::Kind;
using pblock::KindOf;

bool IsReferenceType(int type) {
  return KindOf(type) == Kind::Ref;
}

bool IsBlockOf(ReferenceTarget* target, ClassDesc2* cd, BlockID id) {
  if (!target || !cd || target->SuperClassID() != PARAMETER_BLOCK2_CLASS_ID) return false;
  auto* block = dynamic_cast<IParamBlock2*>(target);
  return block && block->GetDesc() && block->GetDesc() == cd->GetParamBlockDescByID(id);
}

ParamBlock2::ParamBlock2(ParamBlockDesc2* desc, ReferenceMaker* owner)
    : mDesc(desc), mOwner(owner) {
  if (!mDesc) return;
  mParams.resize(mDesc->paramdefs.size());
  for (size_t i = 0; i < mDesc->paramdefs.size(); ++i) {
    Param& p = mParams[i];
    p.def = &mDesc->paramdefs[i];
    const int n = is_tab(p.def->type) ? std::max(0, p.def->tab_size) : 1;
    p.entries.assign(static_cast<size_t>(n), Entry{DefaultValue(*p.def), {}});
  }
}

ParamBlock2::~ParamBlock2() {
  DeleteAllRefs();
}

PBValue ParamBlock2::DefaultValue(const ParamDef& def) const {
  PBValue v;
  v.f = def.def.f;
  v.i = def.def.i;
  v.p = def.def.p;
  v.a = KindOf(def.type) == Kind::AColor4 && def.has_default ? def.def.f : 1.0f;
  v.s = def.def.s.str();
  v.r = nullptr;
  return v;
}

ParamBlock2::Param* ParamBlock2::Find(ParamID id) {
  for (Param& p : mParams)
    if (p.def->ID == id) return &p;
  return nullptr;
}

ParamBlock2::Entry* ParamBlock2::FindEntry(ParamID id, int tabIndex) {
  Param* p = Find(id);
  if (!p || tabIndex < 0 || tabIndex >= static_cast<int>(p->entries.size())) return nullptr;
  return &p->entries[static_cast<size_t>(tabIndex)];
}

int ParamBlock2::RefIndexOf(ParamID id, int tabIndex) {
  int idx = 0;
  for (Param& p : mParams) {
    const bool ref = IsReferenceType(p.def->type);
    if (p.def->ID == id) {
      if (!ref || tabIndex < 0 || tabIndex >= static_cast<int>(p.entries.size())) return -1;
      return idx + tabIndex;
    }
    if (ref) idx += static_cast<int>(p.entries.size());
  }
  return -1;
}

int ParamBlock2::NumRefs() {
  int n = 0;
  for (Param& p : mParams)
    if (IsReferenceType(p.def->type)) n += static_cast<int>(p.entries.size());
  return n;
}

RefTargetHandle ParamBlock2::GetReference(int i) {
  if (i < 0) return nullptr;
  for (Param& p : mParams) {
    if (!IsReferenceType(p.def->type)) continue;
    const int n = static_cast<int>(p.entries.size());
    if (i < n) return p.entries[static_cast<size_t>(i)].v.r;
    i -= n;
  }
  return nullptr;
}

void ParamBlock2::SetReference(int i, RefTargetHandle rtarg) {
  if (i < 0) return;
  for (Param& p : mParams) {
    if (!IsReferenceType(p.def->type)) continue;
    const int n = static_cast<int>(p.entries.size());
    if (i < n) {
      // A target of the wrong kind is refused; ReplaceReference then reports the failure.
      if (AcceptsTarget(p.def->type, rtarg)) p.entries[static_cast<size_t>(i)].v.r = rtarg;
      return;
    }
    i -= n;
  }
}

RefResult ParamBlock2::NotifyRefChanged(const Interval& changeInt, RefTargetHandle hTarget,
                                        PartID& partID, RefMessage message, BOOL propagate) {
  (void)changeInt, (void)partID, (void)propagate;
  if (message == REFMSG_CHANGE && hTarget) {
    // A change inside a sub-object is reported to the owner as a change of the
    // parameter that holds it.
    for (Param& p : mParams) {
      if (!IsReferenceType(p.def->type)) continue;
      for (size_t k = 0; k < p.entries.size(); ++k) {
        if (p.entries[k].v.r == hTarget) {
          mLastNotifyID = p.def->ID;
          mLastNotifyTab = static_cast<int>(k);
          return REF_SUCCEED;
        }
      }
    }
  }
  return REF_SUCCEED;
}

void ParamBlock2::RefAdded(RefMakerHandle rm) {
  if (!mOwner) mOwner = rm;
}

void ParamBlock2::RefDeleted(MAXHOST_REF_DELETED_OWNER) {
  if (mOwner && std::find(Dependents().begin(), Dependents().end(), mOwner) == Dependents().end())
    mOwner = nullptr;
}

void ParamBlock2::NotifyChange(ParamID id, int tabIndex) {
  mLastNotifyID = id;
  mLastNotifyTab = tabIndex;
  NotifyDependents(FOREVER, PART_ALL, REFMSG_CHANGE);
}

void ParamBlock2::NotifyStructure(ParamID id) {
  mLastNotifyID = id;
  mLastNotifyTab = -1;
  NotifyDependents(FOREVER, PART_ALL, REFMSG_SUBANIM_STRUCTURE_CHANGED);
}

// ---------------------------------------------------------------- descriptor queries

int ParamBlock2::NumParams() {
  return static_cast<int>(mParams.size());
}

ParamID ParamBlock2::IndextoID(int idx) {
  if (idx < 0 || idx >= NumParams()) return -1;
  return mParams[static_cast<size_t>(idx)].def->ID;
}

int ParamBlock2::IDtoIndex(ParamID id) {
  for (size_t i = 0; i < mParams.size(); ++i)
    if (mParams[i].def->ID == id) return static_cast<int>(i);
  return -1;
}

ParamType2 ParamBlock2::GetParameterType(ParamID id) {
  Param* p = Find(id);
  return p ? p->def->type : TYPE_UNSPECIFIED;
}

MSTR ParamBlock2::GetLocalName(ParamID id, int tabIndex) {
  (void)tabIndex;
  Param* p = Find(id);
  if (!p) return MSTR();
  const MCHAR* s = mDesc ? mDesc->GetString(p->def->local_name) : nullptr;
  return MSTR(s ? s : p->def->int_name);
}

IParamMap2* ParamBlock2::GetMap(MapID map_id) {
  for (auto& m : mMaps)
    if (m.first == map_id) return m.second;
  return nullptr;
}

void ParamBlock2::SetMap(IParamMap2* m, MapID map_id) {
  for (auto& e : mMaps)
    if (e.first == map_id) {
      e.second = m;
      return;
    }
  mMaps.emplace_back(map_id, m);
}

// ---------------------------------------------------------------- clone, save, load

RefTargetHandle ParamBlock2::Clone(RemapDir& remap) {
  auto* pb = new ParamBlock2(mDesc, nullptr);
  for (size_t i = 0; i < mParams.size() && i < pb->mParams.size(); ++i) {
    pb->mParams[i].entries = mParams[i].entries;
    if (IsReferenceType(mParams[i].def->type))
      for (Entry& e : pb->mParams[i].entries) e.v.r = nullptr;
  }
  const int n = NumRefs();
  for (int i = 0; i < n; ++i) {
    ReferenceTarget* r = GetReference(i);
    if (!r) continue;
    ReferenceTarget* target = IsRealDependency(r) ? remap.CloneRef(r) : r;
    pb->ReplaceReference(i, target);
  }
  BaseClone(this, pb, remap);
  return pb;
}

}  // namespace maxhost
