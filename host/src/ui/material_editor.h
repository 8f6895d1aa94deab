// The stand-in's material editor: shows one map at a time in an automatic rollout built from
// the plug-in's dialog template and parameter block description, and acts on it as a user
// would. Everything runs on the caller's (the user-interface) thread.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include <color.h>
#include <imtl.h>

namespace maxhost::ui {

// Installs the hooks through which ClassDesc2::CreateParamDlgs and
// ParamBlockDesc2::InvalidateUI reach this library. Done when the library loads and again by
// every MaterialEditor; calling it more than once is harmless.
void Install();

class MaterialEditor {
 public:
  MaterialEditor();
  ~MaterialEditor();
  MaterialEditor(const MaterialEditor&) = delete;
  MaterialEditor& operator=(const MaterialEditor&) = delete;

  // Shows the map: a map of the class already shown is handed to the open rollout (its user
  // dialog procedure and parameter map); any other map replaces the rollout, through
  // map->CreateParamDlg. A null map closes the rollout. When the map's class builds no
  // rollout, nothing is shown and Error() says why.
  void Show(MtlBase* map);
  // Closes the rollout; the parameter maps delete their user dialog procedures.
  void Close();
  MtlBase* Current() const;
  bool IsOpen() const;
  // Why the latest Show showed nothing; empty after a successful Show.
  const std::string& Error() const;
  HWND EditorWindow() const;
  HWND RolloutWindow() const;

  // User actions on the rollout, by control id. Actions on controls that do not exist, are
  // disabled or are bound to nothing that takes the action do nothing.
  void ClickButton(int id);  // WM_COMMAND (BN_CLICKED, STN_CLICKED) to the dialog
  void DoubleClick(int id);  // the two command messages of a double click
  void SetSpinner(int spinnerOrEditId, float value);  // clamps to the range, sets the parameter
  void DragSpinner(int spinnerId, int clicks);        // clicks * step (automatic: see param_map.h)
  void TypeInEdit(int editId, const std::wstring& text);  // parse, clamp, set; bad text reverts
  void ChooseRadio(int buttonId);  // stores the button's value (its index or p_vals entry)
  void SetSwatchColor(int swatchId, const Color& c);
  // Passes any message to the rollout's dialog procedure (the parameter map, then the user
  // dialog procedure) and returns the user procedure's answer.
  INT_PTR SendToDialog(UINT msg, WPARAM wParam, LPARAM lParam);

  // The controls as the user sees them.
  std::wstring EditText(int editId) const;  // shown value text ("1.0", "12345")
  bool RadioChecked(int buttonId) const;
  Color SwatchColor(int swatchId) const;
  bool IsEnabled(int id) const;
  int CommandMessagesSent() const;  // WM_COMMAND messages passed to user dialog procedures
  int Redraws(int id) const;        // times a control was redrawn from its parameter

  // Every control of the rollout in template order: position and size in dialog units, the
  // class name, the text the window holds now (edit fields: their shown value).
  struct ControlInfo {
    int id;
    std::wstring cls;
    std::wstring text;
    DWORD style;
    int x, y, cx, cy;
  };
  std::vector<ControlInfo> Controls() const;
  // The rollout's size in dialog units; 0 x 0 when nothing is shown.
  int WidthDialogUnits() const;
  int HeightDialogUnits() const;

  // Draws the rollout as the host shows it with its 8-point font (a dialog unit is 1.5 px
  // wide and 1.625 px high), times scale (1 to 8), to a PNG. False and error on failure.
  bool DrawToPng(const std::string& path, int scale, std::string& error) const;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace maxhost::ui
