#include "ui/param_map.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cwchar>
#include <cwctype>

#include <maxapi.h>
#include <paramtype.h>

#include "base/param_types.h"
#include "base/text.h"
#include "win32/module.h"
#include "win32/window.h"

namespace maxhost::ui {
namespace {

std::vector<ParamMap*>& OpenMaps() {
  static std::vector<ParamMap*> maps;
  return maps;
}

// Whether the block stores the parameter as a float (spinners and radio values follow).
bool IsFloatType(int type) {
  const ParamTypeInfo* info = FindParamType(type);
  return info && info->storage == ParamStorage::Float;
}

bool IsIntegerEdit(int spinType) {
  return spinType == EDITTYPE_INT || spinType == EDITTYPE_POS_INT || spinType == EDITTYPE_TIME;
}

bool IsPositiveEdit(int spinType) {
  return spinType == EDITTYPE_POS_INT || spinType == EDITTYPE_POS_FLOAT ||
         spinType == EDITTYPE_POS_UNIVERSE;
}

Window* Record(HWND hwnd) {
  return WindowFromHandle(hwnd);
}

}  // namespace

std::wstring ControlClassName(const DialogControl& c) {
  // Resource compilers may change the case of class names; windows get the usual spelling.
  static const wchar_t* const kKnown[] = {
      L"Button",   L"Static",         L"Edit",        L"ListBox",    L"ScrollBar",  L"ComboBox",
      L"CustEdit", L"SpinnerControl", L"ColorSwatch", L"CustButton", L"CustStatus", L"CustImage"};
  const std::wstring name = c.ClassName();
  for (const wchar_t* known : kKnown)
    if (EqualsNoCase(name, known)) return known;
  return name;
}

std::wstring FormatSpinnerValue(float value, bool integer) {
  wchar_t buffer[64];
  if (integer) {
    std::swprintf(buffer, 64, L"%ld", std::lround(value));
    return buffer;
  }
  std::swprintf(buffer, 64, L"%.3f", static_cast<double>(value));
  std::wstring s = buffer;
  while (s.size() > 1 && s.back() == L'0' && s[s.size() - 2] != L'.') s.pop_back();
  if (std::wcscmp(s.c_str(), L"-0.0") == 0) s = L"0.0";
  return s;
}

float AutoSpinnerStep(float value, bool integer) {
  const float step = std::fabs(value) * 0.01f;
  if (integer) return std::max(1.0f, std::round(step));
  return std::max(0.1f, step);
}

std::vector<ParamMap*> OpenParamMaps() {
  return OpenMaps();
}

// ---------------------------------------------------------------- ParamMap

ParamMap* ParamMap::Create(HWND parent, ParamBlockDesc2* desc, const ParamMapInfo& info,
                           IParamBlock2* pb, ReferenceTarget* thing, std::string& error) {
  if (!desc || !desc->cd) {
    error = "create_rollout(): the parameter block description belongs to no class";
    return nullptr;
  }
  HINSTANCE module = desc->cd->HInstance();
  if (!FindModule(module)) {
    error = "create_rollout(): the class's module handle is not a loaded library";
    return nullptr;
  }
  DialogParseResult parsed = LoadDialogTemplate(module, info.dlg_template);
  if (!parsed.ok) {
    error = "create_rollout(): " + parsed.error;
    return nullptr;
  }

  auto* map = new ParamMap;
  map->desc_ = desc;
  map->map_id_ = info.map_id;
  map->pb_ = pb;
  map->thing_ = thing;
  map->template_ = std::move(parsed.dialog);
  const MCHAR* title = info.title ? desc->GetString(info.title) : nullptr;
  const DialogTemplate& t = map->template_;
  const RECT rect{0, 0, DialogXToPixels(t.cx), DialogYToPixels(t.cy)};
  map->rollout_ =
      CreateWindowRecord(parent, L"#32770", title ? title : L"", 0, t.style, rect,
                         [map](HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) -> LRESULT {
                           const INT_PTR r = map->Dispatch(msg, wParam, lParam);
                           // Messages the dialog procedures leave get the system's handling.
                           if (!r && msg != WM_COMMAND && msg != WM_INITDIALOG && msg != WM_DESTROY)
                             return DefaultWindowMessage(hwnd, msg, wParam, lParam);
                           return r;
                         });
  if (!map->rollout_) {
    delete map;
    error = "create_rollout(): the editor window is gone";
    return nullptr;
  }
  map->BuildControls();
  OpenMaps().push_back(map);
  if (pb) pb->SetMap(map, map->map_id_);
  map->proc_ = info.dlgProc;
  map->Invalidate();
  map->CallUserProc(WM_INITDIALOG, 0, 0);
  return map;
}

void ParamMap::BuildControls() {
  HINSTANCE module = desc_->cd->HInstance();
  for (const DialogControl& c : template_.controls) {
    const RECT rect{DialogXToPixels(c.x), DialogYToPixels(c.y), DialogXToPixels(c.x + c.cx),
                    DialogYToPixels(c.y + c.cy)};
    const std::wstring text = c.text.is_ordinal ? std::wstring() : c.text.name;
    HWND hwnd = CreateWindowRecord(rollout_, ControlClassName(c), text, c.id, c.style, rect);
    // A static bitmap names its image by ordinal; the system loads it into the control.
    if (hwnd && c.IsClass(L"Static") && (c.style & SS_TYPEMASK) == SS_BITMAP && c.text.is_ordinal) {
      if (HBITMAP bitmap = LoadBitmapW(module, MAKEINTRESOURCEW(c.text.ordinal))) {
        SendMessageW(hwnd, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
        images_[c.id] = bitmap;
      }
    }
  }
  for (const ParamDef& def : desc_->paramdefs) {
    if (!def.has_ui || def.map_id != map_id_) continue;
    const auto& ids = def.ctrl_IDs;
    switch (def.ctrl_type) {
      case TYPE_SPINNER:
      case TYPE_SLIDER:
        if (ids.size() > 0) bindings_[ids[0]] = Binding{def.ID, Role::Edit, 0};
        if (ids.size() > 1) bindings_[ids[1]] = Binding{def.ID, Role::Spinner, 0};
        break;
      case TYPE_RADIO:
        for (size_t i = 0; i < ids.size(); ++i)
          bindings_[ids[i]] = Binding{def.ID, Role::Radio, static_cast<int>(i)};
        break;
      case TYPE_SINGLECHECKBOX:
        if (!ids.empty()) bindings_[ids[0]] = Binding{def.ID, Role::Check, 0};
        break;
      case TYPE_COLORSWATCH:
        if (!ids.empty()) bindings_[ids[0]] = Binding{def.ID, Role::Swatch, 0};
        break;
      default:
        break;  // controls the stand-in does not offer stay unbound
    }
  }
}

ParamMap::~ParamMap() {
  auto& open = OpenMaps();
  open.erase(std::remove(open.begin(), open.end(), this), open.end());
  // WM_DESTROY reaches the user procedure before the procedure goes.
  if (rollout_) DestroyWindowRecord(rollout_);
  for (auto& [id, bitmap] : images_) DeleteObject(bitmap);
  if (proc_) {
    // The descriptor forgets it too, so that the next rollout does not find a deleted
    // procedure there; plug-ins install a new one each time the editor opens.
    if (desc_ && desc_->GetUserDlgProc(map_id_) == proc_) desc_->SetUserDlgProc(map_id_, nullptr);
    ParamMap2UserDlgProc* doomed = proc_;
    proc_ = nullptr;
    doomed->DeleteThis();
  }
  if (!detached_ && pb_ && pb_->GetMap(map_id_) == this) pb_->SetMap(nullptr, map_id_);
}

void ParamMap::Detach() {
  detached_ = true;
  pb_ = nullptr;
  thing_ = nullptr;
}

TimeValue ParamMap::Now() const {
  Interface* ip = GetCOREInterface();
  return ip ? ip->GetTime() : 0;
}

HWND ParamMap::Control(int id) const {
  Window* w = Record(rollout_);
  if (!w) return nullptr;
  for (const auto& c : w->children)
    if (c->id == id) return HandleOf(c.get());
  return nullptr;
}

const ParamMap::Binding* ParamMap::BindingOf(int id) const {
  auto it = bindings_.find(id);
  return it == bindings_.end() ? nullptr : &it->second;
}

const ParamDef* ParamMap::Def(ParamID id) const {
  if (!desc_) return nullptr;
  const int i = desc_->IDtoIndex(id);
  if (i < 0) return nullptr;
  return &desc_->paramdefs[static_cast<size_t>(i)];
}

void ParamMap::SetParamBlock(IParamBlock2* pb) {
  if (!detached_ && pb_ && pb_ != pb && pb_->GetMap(map_id_) == this) pb_->SetMap(nullptr, map_id_);
  pb_ = pb;
  detached_ = false;
  if (pb_) pb_->SetMap(this, map_id_);
  if (proc_) proc_->SetParamBlock(pb);
  Invalidate();
}

void ParamMap::SetUserDlgProc(ParamMap2UserDlgProc* proc) {
  if (proc == proc_) return;
  ParamMap2UserDlgProc* old = proc_;
  proc_ = proc;
  if (old && desc_ && desc_->GetUserDlgProc(map_id_) == old) desc_->SetUserDlgProc(map_id_, proc);
  if (old) old->DeleteThis();
  // The rollout is already initialised: the new procedure gets its initialisation now.
  CallUserProc(WM_INITDIALOG, 0, 0);
}

void ParamMap::AdoptDescriptorDlgProc() {
  if (!desc_) return;
  ParamMap2UserDlgProc* proc = desc_->GetUserDlgProc(map_id_);
  if (!proc || proc == proc_) return;
  // Another open rollout of the descriptor owns it already.
  for (ParamMap* other : OpenMaps())
    if (other != this && other->proc_ == proc) return;
  SetUserDlgProc(proc);
}

void ParamMap::SetThing(ReferenceTarget* m) {
  thing_ = m;
  if (proc_) proc_->SetThing(m);
}

bool ParamMap::ShownValue(const ParamDef& def, float& value) const {
  if (!pb_ || detached_) return false;
  Interval valid = FOREVER;
  if (IsFloatType(def.type)) {
    float f = 0.0f;
    if (!pb_->GetValue(def.ID, Now(), f, valid)) return false;
    value = static_cast<float>(ToUserValue(def.type, f));
    return true;
  }
  int i = 0;
  if (!pb_->GetValue(def.ID, Now(), i, valid)) return false;
  value = static_cast<float>(i);
  return true;
}

bool ParamMap::SetShownValue(const ParamDef& def, float value) {
  if (!pb_ || detached_ || std::isnan(value)) return false;
  if (def.has_range)
    value = std::clamp(value, def.range_low.f, std::max(def.range_low.f, def.range_high.f));
  if (IsPositiveEdit(def.spin_type)) value = std::max(0.0f, value);
  if (IsIntegerEdit(def.spin_type)) value = std::round(value);
  if (IsFloatType(def.type)) {
    const float stored = static_cast<float>(FromUserValue(def.type, value));
    return pb_->SetValue(def.ID, Now(), stored) != FALSE;
  }
  return pb_->SetValue(def.ID, Now(), static_cast<int>(std::lround(value))) != FALSE;
}

void ParamMap::SetControlText(int id, const std::wstring& text) {
  if (HWND hwnd = Control(id)) SetWindowTextW(hwnd, text.c_str());
}

void ParamMap::RedrawParam(const ParamDef& def) {
  if (!pb_ || detached_) return;
  const auto& ids = def.ctrl_IDs;
  auto touched = [this](int id) {
    if (HWND hwnd = Control(id)) {
      InvalidateRect(hwnd, nullptr, TRUE);
      ++redraws_[id];
    }
  };
  switch (def.ctrl_type) {
    case TYPE_SPINNER:
    case TYPE_SLIDER: {
      float v = 0.0f;
      if (ids.empty() || !ShownValue(def, v)) return;
      SetControlText(ids[0], FormatSpinnerValue(v, IsIntegerEdit(def.spin_type)));
      for (int id : ids) touched(id);
      break;
    }
    case TYPE_RADIO: {
      float v = 0.0f;
      if (!ShownValue(def, v)) return;
      const int value = static_cast<int>(std::lround(v));
      for (size_t i = 0; i < ids.size(); ++i) {
        const int buttonValue = i < def.vals.size() ? def.vals[i] : static_cast<int>(i);
        if (HWND hwnd = Control(ids[i]))
          SendMessageW(hwnd, BM_SETCHECK, buttonValue == value ? BST_CHECKED : BST_UNCHECKED, 0);
        touched(ids[i]);
      }
      break;
    }
    case TYPE_SINGLECHECKBOX: {
      float v = 0.0f;
      if (ids.empty() || !ShownValue(def, v)) return;
      if (HWND hwnd = Control(ids[0]))
        SendMessageW(hwnd, BM_SETCHECK, v != 0.0f ? BST_CHECKED : BST_UNCHECKED, 0);
      touched(ids[0]);
      break;
    }
    case TYPE_COLORSWATCH: {
      if (ids.empty()) return;
      Color c;
      Interval valid = FOREVER;
      if (!pb_->GetValue(def.ID, Now(), c, valid)) return;
      swatches_[ids[0]] = c;
      touched(ids[0]);
      break;
    }
    default:
      break;
  }
}

void ParamMap::Invalidate() {
  if (!desc_) return;
  for (const ParamDef& def : desc_->paramdefs)
    if (def.has_ui && def.map_id == map_id_) RedrawParam(def);
}

void ParamMap::Invalidate(ParamID id, int tabIndex) {
  (void)tabIndex;  // no list parameter has a control here: one control set per parameter
  if (id < 0) {
    Invalidate();
    return;
  }
  const ParamDef* def = Def(id);
  if (def && def->has_ui && def->map_id == map_id_) RedrawParam(*def);
}

void ParamMap::UpdateUI(TimeValue t) {
  Invalidate();
  if (proc_) {
    Interval valid = FOREVER;
    proc_->Update(t, valid, this);
  }
}

void ParamMap::Enable(ParamID id, BOOL onOff, int tabIndex) {
  (void)tabIndex;
  if (const ParamDef* def = Def(id))
    for (int c : def->ctrl_IDs)
      if (HWND hwnd = Control(c)) EnableWindow(hwnd, onOff);
}

void ParamMap::Show(ParamID id, BOOL showHide, int tabIndex) {
  (void)tabIndex;
  if (const ParamDef* def = Def(id))
    for (int c : def->ctrl_IDs)
      if (HWND hwnd = Control(c)) ShowWindow(hwnd, showHide ? SW_SHOW : SW_HIDE);
}

void ParamMap::SetText(ParamID id, const MCHAR* txt, int tabIndex) {
  (void)tabIndex;
  const ParamDef* def = Def(id);
  if (!def || def->ctrl_IDs.empty()) return;
  if (def->ctrl_type == TYPE_SINGLECHECKBOX || def->ctrl_type == TYPE_RADIO)
    SetControlText(def->ctrl_IDs[0], txt ? txt : L"");
}

void ParamMap::SetTooltip(ParamID id, bool bEnable, const MCHAR* txt, int tabIndex) {
  (void)id, (void)bEnable, (void)txt, (void)tabIndex;  // the stand-in shows no tooltips
}

INT_PTR ParamMap::CallUserProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  // A procedure set on the descriptor while the rollout is open takes over, as in the host.
  if (msg != WM_DESTROY) AdoptDescriptorDlgProc();
  if (!proc_) return 0;
  if (msg == WM_COMMAND) ++command_messages_;
  return proc_->DlgProc(Now(), this, rollout_, msg, wParam, lParam);
}

INT_PTR ParamMap::Dispatch(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
    const Binding* b = BindingOf(LOWORD(wParam));
    const ParamDef* def = b ? Def(b->param) : nullptr;
    if (def && pb_ && !detached_) {
      if (b->role == Role::Radio) {
        const size_t i = static_cast<size_t>(b->index);
        const int value = i < def->vals.size() ? def->vals[i] : b->index;
        if (IsFloatType(def->type))
          pb_->SetValue(def->ID, Now(), static_cast<float>(value));
        else
          pb_->SetValue(def->ID, Now(), value);
        RedrawParam(*def);
      } else if (b->role == Role::Check) {
        float v = 0.0f;
        if (ShownValue(*def, v)) pb_->SetValue(def->ID, Now(), v != 0.0f ? 0 : 1);
        RedrawParam(*def);
      }
    }
  }
  return CallUserProc(msg, wParam, lParam);
}

bool ParamMap::Click(int id, bool doubleClick) {
  HWND hwnd = Control(id);
  Window* w = Record(hwnd);
  if (!w || !IsWindowEnabled(hwnd)) return false;
  WORD first = BN_CLICKED, second = BN_CLICKED;
  if (EqualsNoCase(w->class_name, L"Button")) {
    const DWORD type = w->style & BS_TYPEMASK;
    if (type == BS_GROUPBOX) return false;
    const bool bound = BindingOf(id) != nullptr;
    if (!bound && (type == BS_AUTORADIOBUTTON || type == BS_AUTOCHECKBOX)) {
      // The system's own toggling, then its notification.
      SendMessageW(hwnd, BM_CLICK, 0, 0);
      if (doubleClick)
        SendMessageW(rollout_, WM_COMMAND, MAKEWPARAM(id, BN_DOUBLECLICKED),
                     reinterpret_cast<LPARAM>(hwnd));
      return true;
    }
    // Push buttons report a double click as two clicks; radio buttons and notifying
    // buttons report the second one as a double click.
    if (type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON || (w->style & 0x4000L /*BS_NOTIFY*/))
      second = BN_DOUBLECLICKED;
  } else if (EqualsNoCase(w->class_name, L"CustButton")) {
    // The host's custom push button reports each click as a push button does.
  } else if (EqualsNoCase(w->class_name, L"Static")) {
    if (!(w->style & SS_NOTIFY)) return false;
    first = STN_CLICKED;
    second = STN_DBLCLK;
  } else {
    return false;
  }
  SendMessageW(rollout_, WM_COMMAND, MAKEWPARAM(id, first), reinterpret_cast<LPARAM>(hwnd));
  if (doubleClick)
    SendMessageW(rollout_, WM_COMMAND, MAKEWPARAM(id, second), reinterpret_cast<LPARAM>(hwnd));
  return true;
}

bool ParamMap::SetSpinnerValue(int id, float shownValue) {
  const Binding* b = BindingOf(id);
  if (!b || (b->role != Role::Edit && b->role != Role::Spinner)) return false;
  const ParamDef* def = Def(b->param);
  if (!def || def->ctrl_IDs.size() < 2) return false;
  HWND spinner = Control(def->ctrl_IDs[1]);
  if (spinner && !IsWindowEnabled(spinner)) return false;
  if (!SetShownValue(*def, shownValue)) return false;
  RedrawParam(*def);
  CallUserProc(kSpinnerChange, MAKEWPARAM(def->ctrl_IDs[1], FALSE), 0);
  return true;
}

bool ParamMap::StepSpinner(int id, int clicks) {
  const Binding* b = BindingOf(id);
  if (!b || (b->role != Role::Edit && b->role != Role::Spinner)) return false;
  const ParamDef* def = Def(b->param);
  float v = 0.0f;
  if (!def || !ShownValue(*def, v)) return false;
  const bool integer = IsIntegerEdit(def->spin_type);
  const float step = def->scale > 0.0f ? def->scale : AutoSpinnerStep(v, integer);
  return SetSpinnerValue(id, v + static_cast<float>(clicks) * step);
}

bool ParamMap::TypeIn(int editId, const std::wstring& text) {
  const Binding* b = BindingOf(editId);
  if (!b || b->role != Role::Edit) return false;
  const ParamDef* def = Def(b->param);
  HWND edit = Control(editId);
  if (!def || !edit || !IsWindowEnabled(edit)) return false;
  const wchar_t* begin = text.c_str();
  wchar_t* end = nullptr;
  const double parsed = std::wcstod(begin, &end);
  bool ok = end != begin;
  for (const wchar_t* p = end; ok && p && *p; ++p)
    if (!std::iswspace(static_cast<wint_t>(*p))) ok = false;
  if (ok && std::isfinite(parsed)) {
    SetShownValue(*def, static_cast<float>(parsed));
  }
  // Whatever was typed, the field ends showing the parameter's value.
  RedrawParam(*def);
  CallUserProc(kCustEditEnter, static_cast<WPARAM>(editId), reinterpret_cast<LPARAM>(edit));
  return ok;
}

bool ParamMap::SetSwatch(int id, const Color& c) {
  const Binding* b = BindingOf(id);
  if (!b || b->role != Role::Swatch || !pb_ || detached_) return false;
  const ParamDef* def = Def(b->param);
  HWND swatch = Control(id);
  if (!def || !swatch || !IsWindowEnabled(swatch)) return false;
  pb_->SetValue(def->ID, Now(), c);
  RedrawParam(*def);
  CallUserProc(kColorChange, MAKEWPARAM(id, 0), 0);
  return true;
}

std::wstring ParamMap::EditText(int id) const {
  Window* w = Record(Control(id));
  return w ? w->text : std::wstring();
}

bool ParamMap::Checked(int id) const {
  Window* w = Record(Control(id));
  return w && w->check == BST_CHECKED;
}

bool ParamMap::SwatchColor(int id, Color& c) const {
  auto it = swatches_.find(id);
  if (it == swatches_.end()) return false;
  c = it->second;
  return true;
}

int ParamMap::Redraws(int id) const {
  auto it = redraws_.find(id);
  return it == redraws_.end() ? 0 : it->second;
}

const RgbImage* ParamMap::ControlImage(int id) const {
  auto it = images_.find(id);
  return it == images_.end() ? nullptr : BitmapFromHandle(it->second);
}

// ---------------------------------------------------------------- AutoParamDlg

AutoParamDlg::~AutoParamDlg() {
  for (ParamDlg* d : dlgs_) d->DeleteThis();
  for (ParamMap* m : maps_) delete m;
}

void AutoParamDlg::Detach() {
  thing_ = nullptr;
  for (ParamMap* m : maps_) m->Detach();
}

Class_ID AutoParamDlg::ClassID() {
  if (thing_) return thing_->ClassID();
  return cd_ ? cd_->ClassID() : Class_ID(0, 0);
}

void AutoParamDlg::SetThing(ReferenceTarget* m) {
  if (!m) return;
  thing_ = m;
  for (ParamMap* map : maps_) {
    ParamBlockDesc2* desc = map->GetDesc();
    map->SetThing(m);
    map->SetParamBlock(desc ? m->GetParamBlockByID(desc->ID) : nullptr);
  }
  for (ParamDlg* d : dlgs_) d->SetThing(m);
}

void AutoParamDlg::SetTime(TimeValue t) {
  for (ParamMap* m : maps_) m->UpdateUI(t);
  for (ParamDlg* d : dlgs_) d->SetTime(t);
}

void AutoParamDlg::AddDlg(ParamDlg* dlg) {
  if (dlg) dlgs_.push_back(dlg);
}

ParamDlg* AutoParamDlg::GetDlg(int i) {
  return i >= 0 && i < NumDlgs() ? dlgs_[static_cast<size_t>(i)] : nullptr;
}

void AutoParamDlg::SetDlg(int i, ParamDlg* dlg) {
  if (i < 0 || i >= NumDlgs() || !dlg) return;
  ParamDlg*& slot = dlgs_[static_cast<size_t>(i)];
  if (slot != dlg) slot->DeleteThis();
  slot = dlg;
}

void AutoParamDlg::DeleteDlg(ParamDlg* dlg) {
  auto it = std::find(dlgs_.begin(), dlgs_.end(), dlg);
  if (it == dlgs_.end()) return;
  dlgs_.erase(it);
  dlg->DeleteThis();
}

void AutoParamDlg::InvalidateUI() {
  for (ParamMap* m : maps_) m->Invalidate();
}

}  // namespace maxhost::ui
