#include "ui/material_editor.h"

#include <iparamm2.h>

#include "render/image.h"
#include "ui/param_map.h"
#include "ui/rollout_drawing.h"
#include "win32/window.h"

namespace maxhost::ui {

struct MaterialEditor::State {
  // The editor's reference to the map it shows, as the host's editor slots hold theirs: the
  // map stays alive while shown, and its deletion closes the rollout.
  class ShownMapRef : public ReferenceMaker {
   public:
    explicit ShownMapRef(State* state) : state_(state) {}
    ~ShownMapRef() override { Release(); }
    ShownMapRef(const ShownMapRef&) = delete;
    ShownMapRef& operator=(const ShownMapRef&) = delete;

    void Hold(ReferenceTarget* t) {
      releasing_ = true;
      ReplaceReference(0, t, FALSE);
      releasing_ = false;
    }
    // Lets go without deleting: whoever made the map decides its end.
    void Release() {
      if (target_) Hold(nullptr);
    }

    SClass_ID SuperClassID() override { return REF_MAKER_CLASS_ID; }
    int NumRefs() override { return 1; }
    RefTargetHandle GetReference(int i) override { return i == 0 ? target_ : nullptr; }

   protected:
    void SetReference(int i, RefTargetHandle t) override {
      if (i != 0) return;
      const bool vanished = !t && target_ && !releasing_;
      target_ = t;
      if (vanished) state_->TargetGone();
    }
    RefResult NotifyRefChanged(const Interval&, RefTargetHandle, PartID&, RefMessage message,
                               BOOL) override {
      // The map is still whole here; its block goes with it right after.
      if (message == REFMSG_TARGET_DELETED && state_->current) state_->TargetGone();
      return REF_SUCCEED;
    }

   private:
    State* state_;
    ReferenceTarget* target_ = nullptr;
    bool releasing_ = false;
  };

  HWND editor = nullptr;
  ParamDlg* dlg = nullptr;
  AutoParamDlg* auto_dlg = nullptr;  // dlg, when it is the host's own
  MtlBase* current = nullptr;
  std::string error;
  int closed_commands = 0;
  ShownMapRef ref{this};

  std::vector<ParamMap*> Maps() const {
    return auto_dlg ? auto_dlg->Maps() : std::vector<ParamMap*>{};
  }
  ParamMap* MapWith(int id) const {
    for (ParamMap* m : Maps())
      if (m->HasControl(id)) return m;
    return nullptr;
  }
  void CloseDialog() {
    for (ParamMap* m : Maps()) closed_commands += m->CommandMessages();
    ParamDlg* doomed = dlg;
    dlg = nullptr;
    auto_dlg = nullptr;
    current = nullptr;
    if (doomed) doomed->DeleteThis();
  }
  // The map was deleted while shown: close without touching it or its block.
  void TargetGone() {
    if (auto_dlg) auto_dlg->Detach();
    CloseDialog();
  }
};

MaterialEditor::MaterialEditor() : state_(std::make_unique<State>()) {
  Install();
  state_->editor = CreateWindowRecord(nullptr, L"MtlEditor", L"Material Editor", 0, WS_VISIBLE,
                                      RECT{0, 0, 400, 700});
}

MaterialEditor::~MaterialEditor() {
  Close();
  if (state_->editor) DestroyWindowRecord(state_->editor);
}

void MaterialEditor::Show(MtlBase* map) {
  State& s = *state_;
  s.error.clear();
  if (!map) {
    Close();
    return;
  }
  if (map == s.current) return;
  // Another map of the class shown: the host hands it to the open dialog.
  if (s.dlg && s.current && map->SuperClassID() == s.current->SuperClassID() &&
      map->ClassID() == s.dlg->ClassID()) {
    if (!map->SetDlgThing(s.dlg)) s.dlg->SetThing(map);
    s.current = map;
    s.ref.Hold(map);
    return;
  }
  Close();
  s.ref.Hold(map);
  ParamDlg* dlg = map->CreateParamDlg(s.editor, nullptr);
  if (!dlg) {
    s.ref.Release();
    s.error = LastRolloutError().empty() ? "show(): the map made no rollout" : LastRolloutError();
    return;
  }
  s.dlg = dlg;
  s.auto_dlg = dynamic_cast<AutoParamDlg*>(dlg);
  s.current = map;
  // The map installs its user procedure on the descriptor after the rollout is built.
  for (ParamMap* m : s.Maps()) m->AdoptDescriptorDlgProc();
}

void MaterialEditor::Close() {
  State& s = *state_;
  s.CloseDialog();
  s.ref.Release();
}

MtlBase* MaterialEditor::Current() const {
  return state_->current;
}
bool MaterialEditor::IsOpen() const {
  return state_->dlg != nullptr;
}
const std::string& MaterialEditor::Error() const {
  return state_->error;
}
HWND MaterialEditor::EditorWindow() const {
  return state_->editor;
}

HWND MaterialEditor::RolloutWindow() const {
  auto maps = state_->Maps();
  return maps.empty() ? nullptr : maps.front()->GetHWnd();
}

void MaterialEditor::ClickButton(int id) {
  if (ParamMap* m = state_->MapWith(id)) m->Click(id, false);
}

void MaterialEditor::DoubleClick(int id) {
  if (ParamMap* m = state_->MapWith(id)) m->Click(id, true);
}

void MaterialEditor::SetSpinner(int spinnerOrEditId, float value) {
  if (ParamMap* m = state_->MapWith(spinnerOrEditId)) m->SetSpinnerValue(spinnerOrEditId, value);
}

void MaterialEditor::DragSpinner(int spinnerId, int clicks) {
  if (ParamMap* m = state_->MapWith(spinnerId)) m->StepSpinner(spinnerId, clicks);
}

void MaterialEditor::TypeInEdit(int editId, const std::wstring& text) {
  if (ParamMap* m = state_->MapWith(editId)) m->TypeIn(editId, text);
}

void MaterialEditor::ChooseRadio(int buttonId) {
  ParamMap* m = state_->MapWith(buttonId);
  Window* w = m ? WindowFromHandle(m->Control(buttonId)) : nullptr;
  if (!w || w->class_name != L"Button") return;  // windows carry the usual class spelling
  const DWORD type = w->style & BS_TYPEMASK;
  if (type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON) m->Click(buttonId, false);
}

void MaterialEditor::SetSwatchColor(int swatchId, const Color& c) {
  if (ParamMap* m = state_->MapWith(swatchId)) m->SetSwatch(swatchId, c);
}

INT_PTR MaterialEditor::SendToDialog(UINT msg, WPARAM wParam, LPARAM lParam) {
  auto maps = state_->Maps();
  return maps.empty() ? 0 : maps.front()->Dispatch(msg, wParam, lParam);
}

std::wstring MaterialEditor::EditText(int editId) const {
  ParamMap* m = state_->MapWith(editId);
  return m ? m->EditText(editId) : std::wstring();
}

bool MaterialEditor::RadioChecked(int buttonId) const {
  ParamMap* m = state_->MapWith(buttonId);
  return m && m->Checked(buttonId);
}

Color MaterialEditor::SwatchColor(int swatchId) const {
  Color c(0.0f, 0.0f, 0.0f);
  if (ParamMap* m = state_->MapWith(swatchId)) m->SwatchColor(swatchId, c);
  return c;
}

bool MaterialEditor::IsEnabled(int id) const {
  ParamMap* m = state_->MapWith(id);
  return m && IsWindowEnabled(m->Control(id));
}

int MaterialEditor::CommandMessagesSent() const {
  int n = state_->closed_commands;
  for (ParamMap* m : state_->Maps()) n += m->CommandMessages();
  return n;
}

int MaterialEditor::Redraws(int id) const {
  ParamMap* m = state_->MapWith(id);
  return m ? m->Redraws(id) : 0;
}

std::vector<MaterialEditor::ControlInfo> MaterialEditor::Controls() const {
  std::vector<ControlInfo> out;
  for (ParamMap* m : state_->Maps()) {
    for (const DialogControl& c : m->Template().controls) {
      Window* w = WindowFromHandle(m->Control(c.id));
      std::wstring text = c.text.is_ordinal ? std::wstring() : c.text.name;
      // Controls without an id share -1: only those with one are looked up by it.
      if (c.id != -1 && w) text = w->text;
      out.push_back(ControlInfo{c.id, ControlClassName(c), text, c.style, c.x, c.y, c.cx, c.cy});
    }
  }
  return out;
}

int MaterialEditor::WidthDialogUnits() const {
  auto maps = state_->Maps();
  return maps.empty() ? 0 : maps.front()->Template().cx;
}

int MaterialEditor::HeightDialogUnits() const {
  auto maps = state_->Maps();
  return maps.empty() ? 0 : maps.front()->Template().cy;
}

bool MaterialEditor::DrawToPng(const std::string& path, int scale, std::string& error) const {
  auto maps = state_->Maps();
  if (maps.empty()) {
    error = "no rollout is shown";
    return false;
  }
  if (scale < 1 || scale > 8) {
    error = "the scale must be 1 to 8";
    return false;
  }
  Image image;
  if (!DrawRollout(*maps.front(), scale, image, error)) return false;
  return WritePng(path, image, error);
}

}  // namespace maxhost::ui
