// The host's parameter block.
#include "core/param_block.h"

#include <algorithm>
#include <cmath>

#include <imtl.h>
#include <inode.h>
#include <iload.h>
#include <isave.h>

#include "core/chunk_ids.h"
#include "core/class_directory.h"

namespace maxhost {
namespace {

enum class Kind { Float, Int, Point, AColor4, String, Ref };

Kind KindOf(int type) {
  switch (base_type(type)) {
    case TYPE_FLOAT:
    case TYPE_ANGLE:
    case TYPE_PCNT_FRAC:
    case TYPE_WORLD:
    case TYPE_COLOR_CHANNEL:
      return Kind::Float;
    case TYPE_RGBA:
    case TYPE_POINT3:
    case TYPE_HSV:
      return Kind::Point;
    case TYPE_FRGBA:
    case TYPE_POINT4:
      return Kind::AColor4;
    case TYPE_STRING:
    case TYPE_FILENAME:
      return Kind::String;
    case TYPE_MTL:
    case TYPE_TEXMAP:
    case TYPE_INODE:
    case TYPE_REFTARG:
    case TYPE_PBLOCK2:
      return Kind::Ref;
    default:
      return Kind::Int;
  }
}

// Whether target r may be stored in a parameter of this type.
bool AcceptsTarget(int type, ReferenceTarget* r) {
  if (!r) return true;
  switch (base_type(type)) {
    case TYPE_TEXMAP:
      return r->SuperClassID() == TEXMAP_CLASS_ID;
    case TYPE_MTL:
      return r->SuperClassID() == MATERIAL_CLASS_ID;
    case TYPE_INODE:
      return r->SuperClassID() == BASENODE_CLASS_ID;
    case TYPE_PBLOCK2:
      return r->SuperClassID() == PARAMETER_BLOCK2_CLASS_ID;
    default:
      return true;
  }
}

// Converts v (of kind `from`) into `into`, a value of a parameter of kind `to`.
bool Convert(const PBValue& v, Kind from, Kind to, PBValue& into) {
  switch (to) {
    case Kind::Float:
      if (from == Kind::Float)
        into.f = v.f;
      else if (from == Kind::Int)
        into.f = static_cast<float>(v.i);
      else
        return false;
      return true;
    case Kind::Int:
      if (from == Kind::Int)
        into.i = v.i;
      else if (from == Kind::Float)
        into.i = static_cast<int>(v.f);
      else
        return false;
      return true;
    case Kind::Point:
      if (from != Kind::Point && from != Kind::AColor4) return false;
      into.p = v.p;
      return true;
    case Kind::AColor4:
      if (from == Kind::Point) {
        into.p = v.p;
        into.a = 1.0f;
      } else if (from == Kind::AColor4) {
        into.p = v.p;
        into.a = v.a;
      } else {
        return false;
      }
      return true;
    case Kind::String:
      if (from != Kind::String) return false;
      into.s = v.s;
      return true;
    case Kind::Ref:
      if (from != Kind::Ref) return false;
      into.r = v.r;
      return true;
  }
  return false;
}

float Lerp(float a, float b, float u) {
  return a + (b - a) * u;
}

void InsertKey(std::vector<PBKey>& keys, TimeValue t, const PBValue& v) {
  auto it = std::lower_bound(keys.begin(), keys.end(), t,
                             [](const PBKey& k, TimeValue tt) { return k.t < tt; });
  if (it != keys.end() && it->t == t)
    it->v = v;
  else
    keys.insert(it, PBKey{t, v});
}

// --- little-endian chunk I/O helpers
template <class T>
bool WriteRaw(ISave* s, const T& v) {
  ULONG n = 0;
  return s->Write(&v, sizeof(T), &n) == IO_OK && n == sizeof(T);
}
template <class T>
bool ReadRaw(ILoad* l, T& v) {
  ULONG n = 0;
  return l->Read(&v, sizeof(T), &n) == IO_OK && n == sizeof(T);
}

bool WriteValue(ISave* s, Kind k, const PBValue& v) {
  switch (k) {
    case Kind::Float:
      return WriteRaw(s, v.f);
    case Kind::Int:
      return WriteRaw(s, static_cast<int32_t>(v.i));
    case Kind::Point:
      return WriteRaw(s, v.p.x) && WriteRaw(s, v.p.y) && WriteRaw(s, v.p.z);
    case Kind::AColor4:
      return WriteRaw(s, v.p.x) && WriteRaw(s, v.p.y) && WriteRaw(s, v.p.z) && WriteRaw(s, v.a);
    case Kind::String: {
      if (!WriteRaw(s, static_cast<uint32_t>(v.s.size()))) return false;
      for (wchar_t c : v.s)
        if (!WriteRaw(s, static_cast<uint32_t>(c))) return false;
      return true;
    }
    case Kind::Ref:
      return true;  // references are the scene's: written with the reference list
  }
  return false;
}

bool ReadValue(ILoad* l, Kind k, PBValue& v) {
  switch (k) {
    case Kind::Float:
      return ReadRaw(l, v.f);
    case Kind::Int: {
      int32_t i = 0;
      if (!ReadRaw(l, i)) return false;
      v.i = i;
      return true;
    }
    case Kind::Point:
      return ReadRaw(l, v.p.x) && ReadRaw(l, v.p.y) && ReadRaw(l, v.p.z);
    case Kind::AColor4:
      return ReadRaw(l, v.p.x) && ReadRaw(l, v.p.y) && ReadRaw(l, v.p.z) && ReadRaw(l, v.a);
    case Kind::String: {
      uint32_t n = 0;
      if (!ReadRaw(l, n)) return false;
      if (n > l->CurChunkLength() / 4) return false;
      v.s.clear();
      v.s.reserve(n);
      for (uint32_t i = 0; i < n; ++i) {
        uint32_t c = 0;
        if (!ReadRaw(l, c)) return false;
        v.s.push_back(static_cast<wchar_t>(c));
      }
      return true;
    }
    case Kind::Ref:
      v.r = nullptr;
      return true;
  }
  return false;
}

}  // namespace

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

PBValue ParamBlock2::Evaluate(const Entry& e, int type, TimeValue t, Interval& valid) const {
  const auto& k = e.keys;
  if (k.empty()) return e.v;
  if (k.size() == 1) return k.front().v;
  if (t <= k.front().t) {
    valid &= Interval(TIME_NegInfinity, k.front().t);
    return k.front().v;
  }
  if (t >= k.back().t) {
    valid &= Interval(k.back().t, TIME_PosInfinity);
    return k.back().v;
  }
  size_t i = 0;
  while (i + 1 < k.size() && k[i + 1].t <= t) ++i;
  valid &= Interval(t, t);
  if (k[i].t == t) return k[i].v;
  const float u = static_cast<float>(static_cast<double>(t - k[i].t) /
                                     static_cast<double>(k[i + 1].t - k[i].t));
  PBValue r = k[i].v;
  const PBValue& b = k[i + 1].v;
  switch (KindOf(type)) {
    case Kind::Float:
      r.f = Lerp(r.f, b.f, u);
      break;
    case Kind::Int:
      r.i =
          static_cast<int>(std::lround(Lerp(static_cast<float>(r.i), static_cast<float>(b.i), u)));
      break;
    case Kind::AColor4:
      r.a = Lerp(r.a, b.a, u);
      [[fallthrough]];
    case Kind::Point:
      r.p = Point3(Lerp(r.p.x, b.p.x, u), Lerp(r.p.y, b.p.y, u), Lerp(r.p.z, b.p.z, u));
      break;
    default:
      break;
  }
  return r;
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

void ParamBlock2::RefDeleted() {
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

// ---------------------------------------------------------------- values

bool ParamBlock2::Store(ParamID id, TimeValue t, const PBValue& v, int tabIndex, int kind) {
  Param* p = Find(id);
  if (!p || tabIndex < 0 || tabIndex >= static_cast<int>(p->entries.size())) return false;
  const Kind to = KindOf(p->def->type);
  Entry& e = p->entries[static_cast<size_t>(tabIndex)];
  PBValue nv = e.v;
  if (!Convert(v, static_cast<Kind>(kind), to, nv)) return false;
  if (to == Kind::Ref) {
    if (!AcceptsTarget(p->def->type, nv.r)) return false;
    if (ReplaceReference(RefIndexOf(id, tabIndex), nv.r) != REF_SUCCEED) return false;
    NotifyChange(id, tabIndex);
    return true;
  }
  const bool animatable = (p->def->flags & P_ANIMATABLE) && to != Kind::String;
  if (animatable && Animating()) {
    // The first key also keeps the value the parameter had before, at time 0.
    if (e.keys.empty() && t != 0) e.keys.push_back(PBKey{0, e.v});
    InsertKey(e.keys, t, nv);
  } else if (!e.keys.empty()) {
    InsertKey(e.keys, t, nv);
  } else {
    e.v = nv;
  }
  NotifyChange(id, tabIndex);
  return true;
}

bool ParamBlock2::SetGeneric(ParamID id, TimeValue t, const PBValue& v, int tabIndex) {
  Param* p = Find(id);
  if (!p) return false;
  return Store(id, t, v, tabIndex, static_cast<int>(KindOf(p->def->type)));
}

bool ParamBlock2::GetGeneric(ParamID id, TimeValue t, PBValue& v, Interval& valid, int tabIndex) {
  Param* p = Find(id);
  if (!p || tabIndex < 0 || tabIndex >= static_cast<int>(p->entries.size())) return false;
  v = Evaluate(p->entries[static_cast<size_t>(tabIndex)], p->def->type, t, valid);
  return true;
}

BOOL ParamBlock2::SetValue(ParamID id, TimeValue t, float v, int tabIndex) {
  PBValue pv;
  pv.f = v;
  return Store(id, t, pv, tabIndex, static_cast<int>(Kind::Float));
}
BOOL ParamBlock2::SetValue(ParamID id, TimeValue t, int v, int tabIndex) {
  PBValue pv;
  pv.i = v;
  return Store(id, t, pv, tabIndex, static_cast<int>(Kind::Int));
}
BOOL ParamBlock2::SetValue(ParamID id, TimeValue t, const Point3& v, int tabIndex) {
  PBValue pv;
  pv.p = v;
  return Store(id, t, pv, tabIndex, static_cast<int>(Kind::Point));
}
BOOL ParamBlock2::SetValue(ParamID id, TimeValue t, const Color& v, int tabIndex) {
  PBValue pv;
  pv.p = Point3(v.r, v.g, v.b);
  return Store(id, t, pv, tabIndex, static_cast<int>(Kind::Point));
}
BOOL ParamBlock2::SetValue(ParamID id, TimeValue t, const AColor& v, int tabIndex) {
  PBValue pv;
  pv.p = Point3(v.r, v.g, v.b);
  pv.a = v.a;
  return Store(id, t, pv, tabIndex, static_cast<int>(Kind::AColor4));
}
BOOL ParamBlock2::SetValue(ParamID id, TimeValue t, const MCHAR* v, int tabIndex) {
  PBValue pv;
  pv.s = v ? v : L"";
  return Store(id, t, pv, tabIndex, static_cast<int>(Kind::String));
}
BOOL ParamBlock2::SetValue(ParamID id, TimeValue t, Mtl* v, int tabIndex) {
  return SetValue(id, t, static_cast<ReferenceTarget*>(v), tabIndex);
}
BOOL ParamBlock2::SetValue(ParamID id, TimeValue t, Texmap* v, int tabIndex) {
  return SetValue(id, t, static_cast<ReferenceTarget*>(v), tabIndex);
}
BOOL ParamBlock2::SetValue(ParamID id, TimeValue t, INode* v, int tabIndex) {
  return SetValue(id, t, static_cast<ReferenceTarget*>(v), tabIndex);
}
BOOL ParamBlock2::SetValue(ParamID id, TimeValue t, ReferenceTarget* v, int tabIndex) {
  PBValue pv;
  pv.r = v;
  return Store(id, t, pv, tabIndex, static_cast<int>(Kind::Ref));
}

BOOL ParamBlock2::GetValue(ParamID id, TimeValue t, float& v, Interval& ivalid, int tabIndex) {
  PBValue pv;
  if (!GetGeneric(id, t, pv, ivalid, tabIndex)) return FALSE;
  const Kind k = KindOf(GetParameterType(id));
  if (k == Kind::Float)
    v = pv.f;
  else if (k == Kind::Int)
    v = static_cast<float>(pv.i);
  else
    return FALSE;
  return TRUE;
}
BOOL ParamBlock2::GetValue(ParamID id, TimeValue t, int& v, Interval& ivalid, int tabIndex) {
  PBValue pv;
  if (!GetGeneric(id, t, pv, ivalid, tabIndex)) return FALSE;
  const Kind k = KindOf(GetParameterType(id));
  if (k == Kind::Int)
    v = pv.i;
  else if (k == Kind::Float)
    v = static_cast<int>(pv.f);
  else
    return FALSE;
  return TRUE;
}
BOOL ParamBlock2::GetValue(ParamID id, TimeValue t, Point3& v, Interval& ivalid, int tabIndex) {
  PBValue pv;
  if (!GetGeneric(id, t, pv, ivalid, tabIndex)) return FALSE;
  const Kind k = KindOf(GetParameterType(id));
  if (k != Kind::Point && k != Kind::AColor4) return FALSE;
  v = pv.p;
  return TRUE;
}
BOOL ParamBlock2::GetValue(ParamID id, TimeValue t, Color& v, Interval& ivalid, int tabIndex) {
  Point3 p;
  if (!GetValue(id, t, p, ivalid, tabIndex)) return FALSE;
  v = Color(p.x, p.y, p.z);
  return TRUE;
}
BOOL ParamBlock2::GetValue(ParamID id, TimeValue t, AColor& v, Interval& ivalid, int tabIndex) {
  PBValue pv;
  if (!GetGeneric(id, t, pv, ivalid, tabIndex)) return FALSE;
  const Kind k = KindOf(GetParameterType(id));
  if (k == Kind::Point)
    v = AColor(pv.p.x, pv.p.y, pv.p.z, 1.0f);
  else if (k == Kind::AColor4)
    v = AColor(pv.p.x, pv.p.y, pv.p.z, pv.a);
  else
    return FALSE;
  return TRUE;
}
BOOL ParamBlock2::GetValue(ParamID id, TimeValue t, const MCHAR*& v, Interval& ivalid,
                           int tabIndex) {
  (void)t, (void)ivalid;
  Param* p = Find(id);
  if (!p || KindOf(p->def->type) != Kind::String) return FALSE;
  Entry* e = FindEntry(id, tabIndex);
  if (!e) return FALSE;
  v = e->v.s.c_str();
  return TRUE;
}
BOOL ParamBlock2::GetValue(ParamID id, TimeValue t, ReferenceTarget*& v, Interval& ivalid,
                           int tabIndex) {
  PBValue pv;
  if (KindOf(GetParameterType(id)) != Kind::Ref) return FALSE;
  if (!GetGeneric(id, t, pv, ivalid, tabIndex)) return FALSE;
  v = pv.r;
  return TRUE;
}
BOOL ParamBlock2::GetValue(ParamID id, TimeValue t, Mtl*& v, Interval& ivalid, int tabIndex) {
  ReferenceTarget* r = nullptr;
  if (!GetValue(id, t, r, ivalid, tabIndex)) return FALSE;
  v = dynamic_cast<Mtl*>(r);
  return TRUE;
}
BOOL ParamBlock2::GetValue(ParamID id, TimeValue t, Texmap*& v, Interval& ivalid, int tabIndex) {
  ReferenceTarget* r = nullptr;
  if (!GetValue(id, t, r, ivalid, tabIndex)) return FALSE;
  v = dynamic_cast<Texmap*>(r);
  return TRUE;
}
BOOL ParamBlock2::GetValue(ParamID id, TimeValue t, INode*& v, Interval& ivalid, int tabIndex) {
  ReferenceTarget* r = nullptr;
  if (!GetValue(id, t, r, ivalid, tabIndex)) return FALSE;
  v = dynamic_cast<INode*>(r);
  return TRUE;
}

Color ParamBlock2::GetColor(ParamID id, TimeValue t, int tabIndex) {
  Color c;
  Interval iv = FOREVER;
  GetValue(id, t, c, iv, tabIndex);
  return c;
}
AColor ParamBlock2::GetAColor(ParamID id, TimeValue t, int tabIndex) {
  AColor c;
  Interval iv = FOREVER;
  GetValue(id, t, c, iv, tabIndex);
  return c;
}
Point3 ParamBlock2::GetPoint3(ParamID id, TimeValue t, int tabIndex) {
  Point3 p;
  Interval iv = FOREVER;
  GetValue(id, t, p, iv, tabIndex);
  return p;
}
int ParamBlock2::GetInt(ParamID id, TimeValue t, int tabIndex) {
  int v = 0;
  Interval iv = FOREVER;
  GetValue(id, t, v, iv, tabIndex);
  return v;
}
float ParamBlock2::GetFloat(ParamID id, TimeValue t, int tabIndex) {
  float v = 0.0f;
  Interval iv = FOREVER;
  GetValue(id, t, v, iv, tabIndex);
  return v;
}
TimeValue ParamBlock2::GetTimeValue(ParamID id, TimeValue t, int tabIndex) {
  return GetInt(id, t, tabIndex);
}
const MCHAR* ParamBlock2::GetStr(ParamID id, TimeValue t, int tabIndex) {
  const MCHAR* s = nullptr;
  Interval iv = FOREVER;
  GetValue(id, t, s, iv, tabIndex);
  return s;
}
Mtl* ParamBlock2::GetMtl(ParamID id, TimeValue t, int tabIndex) {
  return dynamic_cast<Mtl*>(GetReferenceTarget(id, t, tabIndex));
}
Texmap* ParamBlock2::GetTexmap(ParamID id, TimeValue t, int tabIndex) {
  return dynamic_cast<Texmap*>(GetReferenceTarget(id, t, tabIndex));
}
INode* ParamBlock2::GetINode(ParamID id, TimeValue t, int tabIndex) {
  return dynamic_cast<INode*>(GetReferenceTarget(id, t, tabIndex));
}
ReferenceTarget* ParamBlock2::GetReferenceTarget(ParamID id, TimeValue t, int tabIndex) {
  ReferenceTarget* r = nullptr;
  Interval iv = FOREVER;
  GetValue(id, t, r, iv, tabIndex);
  return r;
}

// ---------------------------------------------------------------- keys

bool ParamBlock2::SetKey(ParamID id, TimeValue t, const PBValue& v, int tabIndex) {
  Param* p = Find(id);
  Entry* e = FindEntry(id, tabIndex);
  if (!p || !e || !(p->def->flags & P_ANIMATABLE)) return false;
  const Kind k = KindOf(p->def->type);
  if (k == Kind::Ref || k == Kind::String) return false;
  PBValue nv = e->v;
  if (!Convert(v, k, k, nv)) return false;
  InsertKey(e->keys, t, nv);
  NotifyChange(id, tabIndex);
  return true;
}

int ParamBlock2::NumKeys(ParamID id, int tabIndex) {
  Entry* e = FindEntry(id, tabIndex);
  return e ? static_cast<int>(e->keys.size()) : 0;
}

const std::vector<PBKey>* ParamBlock2::Keys(ParamID id, int tabIndex) {
  Entry* e = FindEntry(id, tabIndex);
  return e ? &e->keys : nullptr;
}

void ParamBlock2::ClearKeys(ParamID id, int tabIndex) {
  if (Entry* e = FindEntry(id, tabIndex)) {
    if (e->keys.empty()) return;
    e->v = e->keys.front().v;
    e->keys.clear();
    NotifyChange(id, tabIndex);
  }
}

BOOL ParamBlock2::IsAnimated(ParamID id, int tabIndex) {
  Entry* e = FindEntry(id, tabIndex);
  return (e && e->keys.size() > 1) ? TRUE : FALSE;
}

// ---------------------------------------------------------------- lists

int ParamBlock2::Count(ParamID id) {
  Param* p = Find(id);
  if (!p || !is_tab(p->def->type)) return 0;
  return static_cast<int>(p->entries.size());
}

bool ParamBlock2::Resize(Param& p, int n, bool notify) {
  if (n < 0) n = 0;
  const int old = static_cast<int>(p.entries.size());
  if (n == old) return false;
  const ParamID id = p.def->ID;
  if (n < old && IsReferenceType(p.def->type)) {
    for (int k = old - 1; k >= n; --k)
      if (p.entries[static_cast<size_t>(k)].v.r) DeleteReference(RefIndexOf(id, k));
  }
  // The reference deletions above may have run handlers; find the parameter again.
  Param* q = Find(id);
  if (!q) return false;
  q->entries.resize(static_cast<size_t>(n), Entry{DefaultValue(*q->def), {}});
  if (notify) NotifyStructure(id);
  return true;
}

void ParamBlock2::SetCount(ParamID id, int n) {
  Param* p = Find(id);
  if (!p || !is_tab(p->def->type)) return;
  Resize(*p, n, true);
}

int ParamBlock2::Resize(ParamID id, int num) {
  Param* p = Find(id);
  if (!p || !is_tab(p->def->type)) return 0;
  Resize(*p, num, true);
  return 1;
}

int ParamBlock2::Delete(ParamID id, int start, int num) {
  Param* p = Find(id);
  if (!p || !is_tab(p->def->type)) return 0;
  const int size = static_cast<int>(p->entries.size());
  if (start < 0 || start >= size || num <= 0) return size;
  if (start + num > size) num = size - start;
  if (IsReferenceType(p->def->type)) {
    for (int k = start + num - 1; k >= start; --k)
      if (p->entries[static_cast<size_t>(k)].v.r) DeleteReference(RefIndexOf(id, k));
  }
  p = Find(id);
  p->entries.erase(p->entries.begin() + start, p->entries.begin() + start + num);
  NotifyStructure(id);
  return static_cast<int>(p->entries.size());
}

bool ParamBlock2::InsertEntries(ParamID id, int at, const std::vector<PBValue>& values) {
  Param* p = Find(id);
  if (!p || !is_tab(p->def->type)) return false;
  const int size = static_cast<int>(p->entries.size());
  if (at < 0) at = 0;
  if (at > size) at = size;
  const Kind k = KindOf(p->def->type);
  const PBValue def = DefaultValue(*p->def);
  std::vector<Entry> fresh(values.size(), Entry{def, {}});
  if (k != Kind::Ref) {
    for (size_t i = 0; i < values.size(); ++i) {
      PBValue nv = def;
      if (Convert(values[i], k, k, nv)) fresh[i].v = nv;
    }
  }
  p->entries.insert(p->entries.begin() + at, fresh.begin(), fresh.end());
  if (k == Kind::Ref) {
    for (size_t i = 0; i < values.size(); ++i) {
      ReferenceTarget* r = values[i].r;
      if (r && AcceptsTarget(p->def->type, r))
        ReplaceReference(RefIndexOf(id, at + static_cast<int>(i)), r);
    }
  }
  return true;
}

namespace {
template <class T, class F>
std::vector<PBValue> Pack(int num, T* el, F set) {
  std::vector<PBValue> out;
  if (!el || num <= 0) return out;
  out.resize(static_cast<size_t>(num));
  for (int i = 0; i < num; ++i) set(out[static_cast<size_t>(i)], el[i]);
  return out;
}
}  // namespace

#define MAXHOST_LIST_OPS(ElemT, SETTER)                                     \
  int ParamBlock2::Append(ParamID id, int num, ElemT* el, int allocExtra) { \
    (void)allocExtra;                                                       \
    return Insert(id, Count(id), num, el);                                  \
  }                                                                         \
  int ParamBlock2::Insert(ParamID id, int at, int num, ElemT* el) {         \
    auto values = Pack(num, el, SETTER);                                    \
    if (values.empty() || !InsertEntries(id, at, values)) return Count(id); \
    NotifyStructure(id);                                                    \
    return Count(id);                                                       \
  }

MAXHOST_LIST_OPS(const float, [](PBValue& v, float x) { v.f = x; })
MAXHOST_LIST_OPS(const int, [](PBValue& v, int x) { v.i = x; })
MAXHOST_LIST_OPS(const Point3, [](PBValue& v, const Point3& x) { v.p = x; })
MAXHOST_LIST_OPS(const Color, [](PBValue& v, const Color& x) { v.p = Point3(x.r, x.g, x.b); })
MAXHOST_LIST_OPS(const MCHAR*, [](PBValue& v, const MCHAR* x) { v.s = x ? x : L""; })
MAXHOST_LIST_OPS(Texmap*, [](PBValue& v, Texmap* x) { v.r = x; })
MAXHOST_LIST_OPS(Mtl*, [](PBValue& v, Mtl* x) { v.r = x; })
MAXHOST_LIST_OPS(INode*, [](PBValue& v, INode* x) { v.r = x; })
MAXHOST_LIST_OPS(ReferenceTarget*, [](PBValue& v, ReferenceTarget* x) { v.r = x; })

#undef MAXHOST_LIST_OPS

bool ParamBlock2::AssignTab(ParamID id, TimeValue t, const std::vector<PBValue>& values) {
  (void)t;
  Param* p = Find(id);
  if (!p || !is_tab(p->def->type)) return false;
  const int old = static_cast<int>(p->entries.size());
  // New entries go in first so that a target present in both the old and the new list
  // never loses its last reference on the way.
  InsertEntries(id, old, values);
  p = Find(id);
  if (IsReferenceType(p->def->type)) {
    for (int k = old - 1; k >= 0; --k)
      if (p->entries[static_cast<size_t>(k)].v.r) DeleteReference(RefIndexOf(id, k));
  }
  p = Find(id);
  p->entries.erase(p->entries.begin(), p->entries.begin() + old);
  NotifyStructure(id);
  return true;
}

void ParamBlock2::Reset(ParamID id, int tabIndex, BOOL notify, BOOL updateUI) {
  (void)updateUI;
  Param* p = Find(id);
  if (!p) return;
  const int n = static_cast<int>(p->entries.size());
  const int from = tabIndex < 0 ? 0 : tabIndex;
  const int to = tabIndex < 0 ? n : std::min(n, tabIndex + 1);
  for (int k = from; k < to; ++k) {
    if (IsReferenceType(p->def->type)) {
      if (p->entries[static_cast<size_t>(k)].v.r) DeleteReference(RefIndexOf(id, k));
      p = Find(id);
    }
    Entry& e = p->entries[static_cast<size_t>(k)];
    e.keys.clear();
    ReferenceTarget* keep = e.v.r;
    e.v = DefaultValue(*p->def);
    e.v.r = keep;
  }
  if (notify) NotifyChange(id, tabIndex);
}

void ParamBlock2::ResetAll(BOOL updateUI, BOOL callSetHandlers) {
  (void)updateUI, (void)callSetHandlers;
  for (size_t i = 0; i < mParams.size(); ++i) {
    const ParamID id = mParams[i].def->ID;
    if (is_tab(mParams[i].def->type))
      Resize(mParams[i], std::max(0, mParams[i].def->tab_size), false);
    Reset(id, -1, FALSE, FALSE);
  }
  NotifyChange(-1, -1);
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

IOResult ParamBlock2::Save(ISave* isave) {
  if (!mDesc) return IO_ERROR;
  isave->BeginChunk(chunks::kPBlockHeader);
  ClassDesc2* cd = mDesc->cd;
  const uint32_t sid = cd ? static_cast<uint32_t>(cd->SuperClassID()) : 0u;
  const Class_ID cid = cd ? cd->ClassID() : Class_ID(0, 0);
  bool ok = WriteRaw(isave, sid) && WriteRaw(isave, static_cast<uint32_t>(cid.PartA())) &&
            WriteRaw(isave, static_cast<uint32_t>(cid.PartB())) &&
            WriteRaw(isave, static_cast<int16_t>(mDesc->ID)) &&
            WriteRaw(isave, static_cast<int32_t>(mDesc->version));
  isave->EndChunk();
  for (Param& p : mParams) {
    if (!ok) break;
    if (p.def->flags & P_TRANSIENT) continue;
    const Kind k = KindOf(p.def->type);
    isave->BeginChunk(chunks::kPBlockParam);
    ok = WriteRaw(isave, static_cast<int16_t>(p.def->ID)) &&
         WriteRaw(isave, static_cast<int32_t>(p.def->type)) &&
         WriteRaw(isave, static_cast<uint32_t>(p.entries.size()));
    for (Entry& e : p.entries) {
      if (!ok) break;
      ok = WriteValue(isave, k, e.v) && WriteRaw(isave, static_cast<uint32_t>(e.keys.size()));
      for (PBKey& key : e.keys) {
        if (!ok) break;
        ok = WriteRaw(isave, static_cast<int32_t>(key.t)) && WriteValue(isave, k, key.v);
      }
    }
    isave->EndChunk();
  }
  return ok ? IO_OK : IO_ERROR;
}

IOResult ParamBlock2::Load(ILoad* iload) {
  IOResult res;
  while ((res = iload->OpenChunk()) == IO_OK) {
    if (iload->CurChunkID() == chunks::kPBlockParam) {
      int16_t id = 0;
      int32_t type = 0;
      uint32_t count = 0;
      if (!ReadRaw(iload, id) || !ReadRaw(iload, type) || !ReadRaw(iload, count)) return IO_ERROR;
      Param* p = Find(id);
      // Parameters that this version does not have, or has with another type, are skipped.
      if (p && p->def->type == type) {
        const Kind k = KindOf(type);
        if (!is_tab(type) && count != 1) return IO_ERROR;
        if (count > iload->CurChunkLength() / 4) return IO_ERROR;
        // Entries of reference type start empty; the scene sets them afterwards.
        std::vector<Entry> entries(count, Entry{DefaultValue(*p->def), {}});
        for (Entry& e : entries) {
          uint32_t nkeys = 0;
          if (!ReadValue(iload, k, e.v) || !ReadRaw(iload, nkeys)) return IO_ERROR;
          if (nkeys > iload->CurChunkLength() / 4) return IO_ERROR;
          for (uint32_t j = 0; j < nkeys; ++j) {
            PBKey key;
            key.v = e.v;
            int32_t t = 0;
            if (!ReadRaw(iload, t) || !ReadValue(iload, k, key.v)) return IO_ERROR;
            key.t = t;
            InsertKey(e.keys, key.t, key.v);
          }
        }
        if (IsReferenceType(type)) {
          for (Entry& e : p->entries)
            if (e.v.r) return IO_ERROR;  // loading happens before references are set
        }
        p->entries = std::move(entries);
      }
    }
    if (iload->CloseChunk() != IO_OK) return IO_ERROR;
  }
  return res == IO_END ? IO_OK : IO_ERROR;
}

ParamBlock2* ParamBlock2::CreateForLoad(ILoad* iload, std::string& error) {
  if (iload->OpenChunk() != IO_OK || iload->CurChunkID() != chunks::kPBlockHeader) {
    error = "parameter block without its header";
    return nullptr;
  }
  uint32_t sid = 0, a = 0, b = 0;
  int16_t blockId = 0;
  int32_t version = 0;
  if (!ReadRaw(iload, sid) || !ReadRaw(iload, a) || !ReadRaw(iload, b) ||
      !ReadRaw(iload, blockId) || !ReadRaw(iload, version) || iload->CloseChunk() != IO_OK) {
    error = "parameter block header is truncated";
    return nullptr;
  }
  auto* cd = dynamic_cast<ClassDesc2*>(FindClassDesc(sid, Class_ID(a, b)));
  ParamBlockDesc2* desc = cd ? cd->GetParamBlockDescByID(blockId) : nullptr;
  if (!desc) {
    char buf[160];
    std::snprintf(buf, sizeof buf, "parameter block %d of unknown class (0x%X, 0x%X:0x%X)",
                  static_cast<int>(blockId), sid, a, b);
    error = buf;
    return nullptr;
  }
  auto* pb = new ParamBlock2(desc, nullptr);
  if (pb->Load(iload) != IO_OK) {
    error = "parameter block data could not be read";
    pb->DeleteThis();
    return nullptr;
  }
  return pb;
}

}  // namespace maxhost
