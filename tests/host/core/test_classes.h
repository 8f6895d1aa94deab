// Small host-side classes for the core and scene tests: a plain reference target with a
// fixed number of references that records what it is told, and a texture map with a
// parameter block holding one parameter of every kind.
#pragma once

#include <vector>

#include <iparamb2.h>
#include <imtl.h>
#include <max.h>
#include "core/year_forms.h"

namespace coretest {

// Live TestTarget and TestMap objects, for leak checks.
inline int gLiveTargets = 0;

class TestTarget : public ReferenceTarget {
public:
  struct Message {
    RefMessage msg;
    ReferenceTarget* from;
  };

  explicit TestTarget(int numRefs = 0) : refs(static_cast<size_t>(numRefs), nullptr) {
    ++gLiveTargets;
  }
  ~TestTarget() override {
    DeleteAllRefs();
    --gLiveTargets;
  }

  SClass_ID SuperClassID() override { return REF_TARGET_CLASS_ID; }
  Class_ID ClassID() override { return Class_ID(0x7E570001, 0x1); }
  int NumRefs() override { return static_cast<int>(refs.size()); }
  RefTargetHandle GetReference(int i) override {
    return (i >= 0 && i < NumRefs()) ? refs[static_cast<size_t>(i)] : nullptr;
  }
  // Reference 0 is weak when weakFirst is set.
  BOOL IsRealDependency(ReferenceTarget* t) override {
    return (weakFirst && !refs.empty() && refs[0] == t) ? FALSE : TRUE;
  }
  RefTargetHandle Clone(RemapDir& remap) override {
    auto* c = new TestTarget(NumRefs());
    c->weakFirst = weakFirst;
    for (int i = 0; i < NumRefs(); ++i) {
      ReferenceTarget* r = refs[static_cast<size_t>(i)];
      if (r) c->ReplaceReference(i, IsRealDependency(r) ? remap.CloneRef(r) : r);
    }
    BaseClone(this, c, remap);
    return c;
  }
#if MAX_VERSION_MAJOR >= 28
  void RefDeleted(ReferenceMaker* oldOwner) override {
    ++refDeletedCalls;
    deletedBy.push_back(oldOwner);
  }
#else
  void RefDeleted() override { ++refDeletedCalls; }
#endif
  void RefAdded(RefMakerHandle rm) override { added.push_back(rm); }

  std::vector<ReferenceTarget*> refs;
  std::vector<Message> messages;
  std::vector<ReferenceMaker*> added;
  bool weakFirst = false;
  int refDeletedCalls = 0;
  std::vector<ReferenceMaker*> deletedBy;  // from 2026: the maker of each dropped reference
  RefResult answer = REF_SUCCEED;

protected:
  void SetReference(int i, RefTargetHandle t) override {
    if (i >= 0 && i < NumRefs()) refs[static_cast<size_t>(i)] = t;
  }
  RefResult NotifyRefChanged(const Interval&, RefTargetHandle hTarget, PartID&, RefMessage message,
                             BOOL) override {
    messages.push_back(Message{message, hTarget});
    return answer;
  }
};

// Parameter ids of the test map's block.
enum {
  tp_float,
  tp_int,
  tp_color,
  tp_bool,
  tp_angle,
  tp_string,
  tp_maps,
  tp_flags,
  tp_weights,
  tp_acolor,
  tp_point
};

class TestMapDesc;
TestMapDesc& TheTestMapDesc();

class TestMap : public Texmap {
public:
  struct Seen {
    RefMessage msg;
    ParamID lastId;
    int lastTab;
  };

  TestMap();
  ~TestMap() override {
    DeleteAllRefs();
    --gLiveTargets;
  }

  Class_ID ClassID() override { return Class_ID(0x7E570002, 0x2); }
  void GetClassName(MSTR& s MAXHOST_LOCALIZED) MAXHOST_CLASS_NAME_CONST override {
    s = MSTR(L"TestMap");
  }
  int NumRefs() override { return 1; }
  RefTargetHandle GetReference(int i) override { return i == 0 ? pblock : nullptr; }
  int NumParamBlocks() override { return 1; }
  IParamBlock2* GetParamBlock(int) override { return pblock; }
  IParamBlock2* GetParamBlockByID(BlockID id) override {
    return (pblock && pblock->ID() == id) ? pblock : nullptr;
  }
  AColor EvalColor(ShadeContext& sc) override {
    const Point3 uvw = sc.UVW(0);
    return AColor(uvw.x, uvw.y, 0.25f, 1.0f);
  }
  Point3 EvalNormalPerturb(ShadeContext&) override { return Point3(0.0f, 0.0f, 0.0f); }
  void Update(TimeValue, Interval&) override {}
  void Reset() override {}
  Interval Validity(TimeValue) override { return FOREVER; }
  ParamDlg* CreateParamDlg(HWND, IMtlParams*) override { return nullptr; }
  RefTargetHandle Clone(RemapDir& remap) override;

  IParamBlock2* pblock = nullptr;
  std::vector<Seen> seen;

protected:
  void SetReference(int i, RefTargetHandle t) override {
    if (i == 0) pblock = static_cast<IParamBlock2*>(t);
  }
  RefResult NotifyRefChanged(const Interval&, RefTargetHandle hTarget, PartID&, RefMessage message,
                             BOOL) override {
    int tab = -1;
    ParamID id = -1;
    if (hTarget == pblock && pblock) id = pblock->LastNotifyParamID(tab);
    seen.push_back(Seen{message, id, tab});
    return REF_SUCCEED;
  }
};

class TestMapDesc : public ClassDesc2 {
public:
  int IsPublic() override { return 1; }
  void* Create(BOOL) override { return new TestMap(); }
  const MCHAR* ClassName() override { return L"TestMap"; }
#if MAX_VERSION_MAJOR >= 24
  const MCHAR* NonLocalizedClassName() override {
    return L"TestMap";
  }
#endif
  SClass_ID SuperClassID() override { return TEXMAP_CLASS_ID; }
  Class_ID ClassID() override { return Class_ID(0x7E570002, 0x2); }
  const MCHAR* Category() override { return TEXMAP_CAT_COMP; }
  const MCHAR* InternalName() override { return L"TestMapInternal"; }
};

inline TestMapDesc& TheTestMapDesc() {
  static TestMapDesc desc;
  return desc;
}

// The block table, written as plug-ins write theirs.
inline ParamBlockDesc2& TheTestBlockDesc() {
  static ParamBlockDesc2 desc(
      // block ID, internal name, display name, owning class, flags
      0, L"params", 0, &TheTestMapDesc(), P_AUTO_CONSTRUCT + P_AUTO_UI,
      // P_AUTO_CONSTRUCT: reference number
      0,
      // P_AUTO_UI: dialog, title string, flag mask, rollup flags, dialog procedure
      114, 4, 0, 0, nullptr,
      tp_float, L"amount", TYPE_FLOAT, P_ANIMATABLE, 253,
        p_default, 1.5f,
        p_range, 0.0f, 100.0f,
        p_ui, TYPE_SPINNER, EDITTYPE_FLOAT, 1490, 1496, 0.01f,
        p_end,
      tp_int, L"seed", TYPE_INT, P_ANIMATABLE, 50,
        p_default, 12345,
        p_range, 1, 99999,
        p_ui, TYPE_SPINNER, EDITTYPE_POS_INT, 1015, 1017, SPIN_AUTOSCALE,
        p_end,
      tp_color, L"tint", TYPE_RGBA, P_ANIMATABLE, 1076,
        p_default, Color(0.5f, 0.25f, 0.125f),
        p_ui, TYPE_COLORSWATCH, 1079,
        p_end,
      tp_bool, L"use_tint", TYPE_BOOL, P_ANIMATABLE, 1077,
        p_default, FALSE,
        p_ui, TYPE_RADIO, 2, 1005, 1082,
        p_vals, 0, 1,
        p_end,
      tp_angle, L"turn", TYPE_ANGLE, P_ANIMATABLE, 1078,
        p_default, 0.0f,
        p_range, 0.0f, 360.0f,
        p_ui, TYPE_SPINNER, EDITTYPE_FLOAT, 1512, 1513, 0.01f,
        p_end,
      tp_string, L"label", TYPE_STRING, 0, 0,
        p_default, L"none",
        p_end,
      tp_maps, L"maps", TYPE_TEXMAP_TAB, 0, P_VARIABLE_SIZE, 146,
        p_end,
      tp_flags, L"map_on", TYPE_BOOL_TAB, 0, P_VARIABLE_SIZE, 0,
        p_default, TRUE,
        p_end,
      tp_weights, L"weight", TYPE_INT_TAB, 0, P_VARIABLE_SIZE, 0,
        p_default, 1,
        p_end,
      tp_acolor, L"glow", TYPE_FRGBA, 0, 0,
        p_default, AColor(0.1f, 0.2f, 0.3f, 0.4f),
        p_end,
      tp_point, L"offset", TYPE_POINT3, P_ANIMATABLE, 0,
        p_default, Point3(1.0f, 2.0f, 3.0f),
        p_end,
      p_end);
  return desc;
}

inline TestMap::TestMap() {
  ++gLiveTargets;
  TheTestBlockDesc();
  TheTestMapDesc().MakeAutoParamBlocks(this);
}

inline RefTargetHandle TestMap::Clone(RemapDir& remap) {
  auto* m = new TestMap();
  *static_cast<MtlBase*>(m) = *this;
  m->ReplaceReference(0, remap.CloneRef(pblock));
  BaseClone(this, m, remap);
  return m;
}

}  // namespace coretest
