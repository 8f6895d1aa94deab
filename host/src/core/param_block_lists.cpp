// Parameter block lists: counts, insertion, deletion, whole-list assignment and reset.
#include <algorithm>

#include <imtl.h>
#include <inode.h>

#include "core/param_block.h"
#include "core/param_block_kinds.h"

namespace maxhost {

using pblock::AcceptsTarget;
using pblock::Convert;
using pblock::Kind;
using pblock::KindOf;

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

}  // namespace maxhost
