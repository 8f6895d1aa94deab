// Parameter block values: typed and generic reads and writes, animation keys.
#include <algorithm>
#include <cmath>

#include <imtl.h>
#include <inode.h>

#include "core/param_block.h"
#include "core/param_block_kinds.h"

namespace maxhost {

namespace pblock {

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

void InsertKey(std::vector<PBKey>& keys, TimeValue t, const PBValue& v) {
  auto it = std::lower_bound(keys.begin(), keys.end(), t,
                             [](const PBKey& k, TimeValue tt) { return k.t < tt; });
  if (it != keys.end() && it->t == t)
    it->v = v;
  else
    keys.insert(it, PBKey{t, v});
}

}  // namespace pblock

using pblock::AcceptsTarget;
using pblock::Convert;
using pblock::InsertKey;
using pblock::Kind;
using pblock::KindOf;

namespace {

float Lerp(float a, float b, float u) {
  return a + (b - a) * u;
}

}  // namespace

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

BOOL ParamBlock2::IsAnimated(ParamID id, int tabIndex) {
  Entry* e = FindEntry(id, tabIndex);
  return (e && e->keys.size() > 1) ? TRUE : FALSE;
}

}  // namespace maxhost
