// Parameter maps: the rollouts that show a parameter block in the material editor.
#pragma once

#include "imtl.h"
#include "iparamb2.h"
#include "maxtypes.h"

class ParamDlg;
class IMtlParams;
class IParamMap2;

// A plug-in's dialog procedure for an automatic rollout; the map calls it for every
// message after its own handling.
class PB2Export ParamMap2UserDlgProc : public MaxHeapOperators {
 public:
  virtual ~ParamMap2UserDlgProc() = default;
  virtual INT_PTR DlgProc(TimeValue t, IParamMap2* map, HWND hWnd, UINT msg, WPARAM wParam,
                          LPARAM lParam) = 0;
  virtual void DeleteThis() = 0;
  virtual void SetThing(ReferenceTarget* m) { (void)m; }
  virtual void Update(TimeValue t) { (void)t; }
  virtual void Update(TimeValue t, Interval& valid, IParamMap2* pmap) {
    (void)valid, (void)pmap;
    Update(t);
  }
  virtual void SetParamBlock(IParamBlock2* pb) { (void)pb; }
};

class PB2Export IParamMap2 : public InterfaceServer {
 public:
  virtual ~IParamMap2() = default;
  virtual IParamBlock2* GetParamBlock() = 0;
  virtual void SetParamBlock(IParamBlock2* pb) = 0;
  virtual MapID GetMapID() = 0;
  virtual HWND GetHWnd() = 0;
  virtual ParamBlockDesc2* GetDesc() = 0;
  virtual void SetUserDlgProc(ParamMap2UserDlgProc* proc = nullptr) = 0;
  virtual ParamMap2UserDlgProc* GetUserDlgProc() = 0;
  // Redraws the controls from the block's values.
  virtual void Invalidate() = 0;
  virtual void Invalidate(ParamID id, int tabIndex = -1) = 0;
  virtual void UpdateUI(TimeValue t) = 0;
  virtual void Enable(ParamID id, BOOL onOff, int tabIndex = -1) = 0;
  virtual void Show(ParamID id, BOOL showHide, int tabIndex = -1) = 0;
  virtual void SetText(ParamID id, const MCHAR* txt = nullptr, int tabIndex = -1) = 0;
  virtual void SetTooltip(ParamID id, bool bEnable, const MCHAR* txt = nullptr,
                          int tabIndex = -1) = 0;
  virtual void SetThing(ReferenceTarget* m) = 0;
  virtual ReferenceTarget* GetThing() = 0;
};

// The material editor's dialog made of automatic parameter maps.
class PB2Export IAutoMParamDlg : public ParamDlg {
 public:
  virtual int NumDlgs() = 0;
  virtual void AddDlg(ParamDlg* dlg) = 0;
  virtual ParamDlg* GetDlg(int i) = 0;
  virtual void SetDlg(int i, ParamDlg* dlg) = 0;
  virtual void DeleteDlg(ParamDlg* dlg) = 0;
  virtual IParamMap2* GetMap() = 0;
  virtual void InvalidateUI() = 0;
};
