// A texture map for the editor tests, written as a plug-in writes one: a P_AUTO_UI block bound
// to the controls of dialog 114 of the tests' own resources (data/editor_fixture.rc), and a
// user dialog procedure installed after the rollout is built, which records what it is told.
#pragma once

#include <string>
#include <vector>

#include <imtl.h>
#include <iparamb2.h>
#include <iparamm2.h>
#include <max.h>
#include "core/year_forms.h"

namespace uitest {

enum {
  ep_gamma = 1,
  ep_hue = 2,
  ep_sat = 3,
  ep_rnd_gamma = 4,
  ep_rnd_hue = 5,
  ep_rnd_sat = 6,
  ep_occ_gamma = 7,
  ep_occ_hue = 8,
  ep_occ_sat = 9,
  ep_rnd_by = 10,
  ep_seed = 11,
  ep_blur = 12,
  ep_filtering = 13,
  ep_color = 14,
  ep_use_color = 15,
  ep_rotate = 18,
};

// The compiled resources, registered once as a module of their own.
HMODULE TestModule();

struct ProcEvent {
  UINT msg;
  WPARAM wParam;
  LPARAM lParam;
  ReferenceTarget* thing;  // the map the procedure served when the message came
};

// What every RecordingProc saw, in order, and how many are alive.
struct ProcLog {
  std::vector<ProcEvent> events;
  std::vector<ReferenceTarget*> things;  // SetThing calls
  std::vector<IParamBlock2*> blocks;     // SetParamBlock calls
  int live = 0;
  int deleted = 0;
  void Clear() { *this = ProcLog{}; }
  int Count(UINT msg) const {
    int n = 0;
    for (const auto& e : events) n += e.msg == msg;
    return n;
  }
};
ProcLog& Log();

class RecordingProc : public ParamMap2UserDlgProc {
 public:
  explicit RecordingProc(ReferenceTarget* thing) : thing_(thing) { ++Log().live; }
  ~RecordingProc() override { --Log().live; }
  INT_PTR DlgProc(TimeValue, IParamMap2*, HWND, UINT msg, WPARAM wParam, LPARAM lParam) override {
    Log().events.push_back(ProcEvent{msg, wParam, lParam, thing_});
    return msg == WM_COMMAND ? TRUE : FALSE;
  }
  void DeleteThis() override {
    ++Log().deleted;
    delete this;
  }
  void SetThing(ReferenceTarget* m) override {
    thing_ = m;
    Log().things.push_back(m);
  }
  void SetParamBlock(IParamBlock2* pb) override { Log().blocks.push_back(pb); }

 private:
  ReferenceTarget* thing_;
};

class EditorTestDesc;

class EditorTestMap : public Texmap {
 public:
  explicit EditorTestMap(EditorTestDesc* desc);
  ~EditorTestMap() override;

  Class_ID ClassID() override;
  void GetClassName(MSTR& s MAXHOST_LOCALIZED) MAXHOST_CLASS_NAME_CONST override {
    s = MSTR(L"EditorTestMap");
  }
  int NumRefs() override { return 1; }
  RefTargetHandle GetReference(int i) override { return i == 0 ? pblock : nullptr; }
  int NumParamBlocks() override { return 1; }
  IParamBlock2* GetParamBlock(int) override { return pblock; }
  IParamBlock2* GetParamBlockByID(BlockID id) override {
    return (pblock && pblock->ID() == id) ? pblock : nullptr;
  }
  AColor EvalColor(ShadeContext&) override { return AColor(0.0f, 0.0f, 0.0f, 1.0f); }
  Point3 EvalNormalPerturb(ShadeContext&) override { return Point3(0.0f, 0.0f, 0.0f); }
  void Update(TimeValue, Interval&) override {}
  void Reset() override {}
  Interval Validity(TimeValue) override { return FOREVER; }
  ParamDlg* CreateParamDlg(HWND hwMtlEdit, IMtlParams* imp) override;
  RefTargetHandle Clone(RemapDir&) override { return nullptr; }

  IParamBlock2* pblock = nullptr;
  // The change handler asks for the rollout to be redrawn, as plug-ins do.
  bool invalidate_on_change = true;
  // Installs the procedure before asking for the rollout instead of after.
  bool proc_before_build = false;

 protected:
  void SetReference(int i, RefTargetHandle t) override {
    if (i == 0) pblock = static_cast<IParamBlock2*>(t);
  }
  RefResult NotifyRefChanged(const Interval&, RefTargetHandle hTarget, PartID&, RefMessage message,
                             BOOL) override;

 private:
  EditorTestDesc* desc_;
};

class EditorTestDesc : public ClassDesc2 {
 public:
  // A class with its own id and block descriptor whose rollout is dialog `dialogId`.
  EditorTestDesc(ULONG classA, int dialogId);
  ~EditorTestDesc() override;
  int IsPublic() override { return 1; }
  void* Create(BOOL) override { return new EditorTestMap(this); }
  const MCHAR* ClassName() override { return L"EditorTestMap"; }
#if MAX_VERSION_MAJOR >= 24
  const MCHAR* NonLocalizedClassName() override {
    return L"EditorTestMap";
  }
#endif
  SClass_ID SuperClassID() override { return TEXMAP_CLASS_ID; }
  Class_ID ClassID() override { return Class_ID(class_a_, 0x71); }
  const MCHAR* Category() override { return L""; }
  HINSTANCE HInstance() override { return TestModule(); }

  ParamBlockDesc2* block = nullptr;

 private:
  ULONG class_a_;
};

}  // namespace uitest
