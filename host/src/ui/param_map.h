// The host side of automatic rollouts: a parameter map (IParamMap2) that builds a rollout
// window from a dialog template, binds its controls to parameters through the descriptor's
// p_ui entries and keeps both in step; and the material editor's dialog (IAutoMParamDlg)
// made of such maps.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include <iparamb2.h>
#include <iparamm2.h>

#include "win32/dialog_template.h"
#include "win32/dib.h"

namespace maxhost::ui {

// Messages of the host's custom controls, passed to user dialog procedures after the
// parameter map has acted on them.
inline constexpr UINT kSpinnerChange = WM_USER + 600;  // CC_SPINNER_CHANGE
inline constexpr UINT kColorChange = WM_USER + 603;    // CC_COLOR_CHANGE
inline constexpr UINT kCustEditEnter = WM_USER + 685;  // WM_CUSTEDIT_ENTER

// Dialog units to pixels for the 8-point "MS Sans Serif" the rollouts use: its average
// character is 6 by 13 pixels, and a dialog unit is a quarter of the width and an eighth of
// the height (MapDialogRect's rounding).
inline int DialogXToPixels(int x) {
  return (x * 6 + 2) / 4;
}
inline int DialogYToPixels(int y) {
  return (y * 13 + 4) / 8;
}

// Shown text of a spinner value: floats with up to three decimals and at least one ("1.0",
// "0.01", "-12.5"), integers plainly ("12345").
std::wstring FormatSpinnerValue(float value, bool integer);
// The automatic step of a spinner (SPIN_AUTOSCALE): one hundredth of the shown value, at
// least 1 for integer edits and 0.1 for float edits.
float AutoSpinnerStep(float value, bool integer);
// The window class of a template control in its usual spelling ("CustEdit", "Button").
std::wstring ControlClassName(const DialogControl& c);

class ParamMap final : public IParamMap2 {
 public:
  // Builds the rollout of map `info` of desc as a child of parent, from the dialog template
  // of desc's class module, showing pb. Null and error when the template cannot be had.
  static ParamMap* Create(HWND parent, ParamBlockDesc2* desc, const ParamMapInfo& info,
                          IParamBlock2* pb, ReferenceTarget* thing, std::string& error);
  ~ParamMap() override;
  ParamMap(const ParamMap&) = delete;
  ParamMap& operator=(const ParamMap&) = delete;

  // IParamMap2
  IParamBlock2* GetParamBlock() override { return pb_; }
  void SetParamBlock(IParamBlock2* pb) override;
  MapID GetMapID() override { return map_id_; }
  HWND GetHWnd() override { return rollout_; }
  ParamBlockDesc2* GetDesc() override { return desc_; }
  // Takes ownership of proc; a replaced procedure is deleted through DeleteThis. Closing the
  // rollout deletes the procedure and clears it from the descriptor.
  void SetUserDlgProc(ParamMap2UserDlgProc* proc = nullptr) override;
  ParamMap2UserDlgProc* GetUserDlgProc() override { return proc_; }
  void Invalidate() override;
  void Invalidate(ParamID id, int tabIndex = -1) override;
  void UpdateUI(TimeValue t) override;
  void Enable(ParamID id, BOOL onOff, int tabIndex = -1) override;
  void Show(ParamID id, BOOL showHide, int tabIndex = -1) override;
  void SetText(ParamID id, const MCHAR* txt = nullptr, int tabIndex = -1) override;
  void SetTooltip(ParamID id, bool bEnable, const MCHAR* txt = nullptr, int tabIndex = -1) override;
  void SetThing(ReferenceTarget* m) override;
  ReferenceTarget* GetThing() override { return thing_; }

  // Installs the procedure that the descriptor holds now when it is not the one installed:
  // the plug-in sets it on the descriptor after the rollout was built.
  void AdoptDescriptorDlgProc();
  // The block and the thing are gone: forget them without touching them.
  void Detach();

  const DialogTemplate& Template() const { return template_; }
  HWND Control(int id) const;
  bool HasControl(int id) const { return Control(id) != nullptr; }
  // The rollout's dialog procedure: the map's own handling, then the user procedure, whose
  // answer it returns.
  INT_PTR Dispatch(UINT msg, WPARAM wParam, LPARAM lParam);

  // User actions; false when id is not a control that takes the action.
  bool Click(int id, bool doubleClick);
  bool SetSpinnerValue(int id, float shownValue);
  bool StepSpinner(int id, int clicks);
  bool TypeIn(int editId, const std::wstring& text);
  bool SetSwatch(int id, const Color& c);

  std::wstring EditText(int id) const;
  bool Checked(int id) const;
  bool SwatchColor(int id, Color& c) const;
  int CommandMessages() const { return command_messages_; }
  int Redraws(int id) const;
  // The image of a static bitmap control, or null.
  const RgbImage* ControlImage(int id) const;

 private:
  enum class Role { Edit, Spinner, Radio, Check, Swatch };
  struct Binding {
    ParamID param = -1;
    Role role = Role::Edit;
    int index = 0;  // radio: the button's position in the group
  };

  ParamMap() = default;
  void BuildControls();
  const Binding* BindingOf(int id) const;
  const ParamDef* Def(ParamID id) const;
  TimeValue Now() const;
  // The parameter's value in the units its control shows (angles in degrees).
  bool ShownValue(const ParamDef& def, float& value) const;
  bool SetShownValue(const ParamDef& def, float value);
  void RedrawParam(const ParamDef& def);
  void SetControlText(int id, const std::wstring& text);
  INT_PTR CallUserProc(UINT msg, WPARAM wParam, LPARAM lParam);

  ParamBlockDesc2* desc_ = nullptr;
  MapID map_id_ = 0;
  IParamBlock2* pb_ = nullptr;
  ReferenceTarget* thing_ = nullptr;
  ParamMap2UserDlgProc* proc_ = nullptr;
  HWND rollout_ = nullptr;
  std::map<int, HBITMAP> images_;  // static bitmap controls
  DialogTemplate template_;
  std::map<int, Binding> bindings_;
  std::map<int, Color> swatches_;
  std::map<int, int> redraws_;
  int command_messages_ = 0;
  bool detached_ = false;
};

// The material editor's dialog for one object: the parameter maps of its class's automatic
// rollouts. Deleting it closes them.
class AutoParamDlg final : public IAutoMParamDlg {
 public:
  AutoParamDlg(ClassDesc2* cd, ReferenceTarget* thing) : cd_(cd), thing_(thing) {}
  ~AutoParamDlg() override;

  void AddMap(ParamMap* map) { maps_.push_back(map); }
  const std::vector<ParamMap*>& Maps() const { return maps_; }
  void Detach();

  // ParamDlg
  Class_ID ClassID() override;
  // Hands another object of the class to every map (its block) and user procedure.
  void SetThing(ReferenceTarget* m) override;
  ReferenceTarget* GetThing() override { return thing_; }
  void SetTime(TimeValue t) override;
  void ReloadDialog() override { InvalidateUI(); }
  void DeleteThis() override { delete this; }
  void ActivateDlg(BOOL onOff) override { (void)onOff; }

  // IAutoMParamDlg
  int NumDlgs() override { return static_cast<int>(dlgs_.size()); }
  void AddDlg(ParamDlg* dlg) override;
  ParamDlg* GetDlg(int i) override;
  void SetDlg(int i, ParamDlg* dlg) override;
  void DeleteDlg(ParamDlg* dlg) override;
  IParamMap2* GetMap() override { return maps_.empty() ? nullptr : maps_.front(); }
  void InvalidateUI() override;

 private:
  ClassDesc2* cd_ = nullptr;
  ReferenceTarget* thing_ = nullptr;
  std::vector<ParamMap*> maps_;
  std::vector<ParamDlg*> dlgs_;  // secondary dialogs, owned
};

// Open parameter maps, for InvalidateUI.
std::vector<ParamMap*> OpenParamMaps();

// Builds the automatic rollouts of cd's descriptors for obj (what ClassDesc2::CreateParamDlgs
// does with this library installed). Null, and LastRolloutError() says why, when none could be
// built.
AutoParamDlg* CreateAutoParamDlg(ClassDesc2* cd, HWND parent, ReferenceTarget* obj);
const std::string& LastRolloutError();

}  // namespace maxhost::ui
