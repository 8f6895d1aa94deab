// Parameter block descriptors parsed from the variadic tables that plug-ins write, and
// ClassDesc2's bookkeeping of them.
#include <bit>
#include <cstdarg>
#include <cwchar>
#include <stdexcept>
#include <type_traits>

#include <iparamb2.h>
#include <iparamm2.h>

#include "base/param_types.h"
#include "base/text.h"
#include "core/param_block.h"
#include "core/ui_hooks.h"

#include <windows.h>

namespace maxhost {
namespace {

InvalidateUIHook& InvalidateHook() {
  static InvalidateUIHook hook;
  return hook;
}

CreateParamDlgsHook& DlgsHook() {
  static CreateParamDlgsHook hook;
  return hook;
}

// Guards against tables that never close: no real table comes near these.
constexpr int kMaxParams = 4096;
constexpr int kMaxTagsPerParam = 256;

// How a table passes a value of each type through its variable arguments. This follows
// the host's parameter-type table, except that a table may also name bitmaps and matrices,
// which blocks do not store but which travel through the arguments as pointers.
enum class ValueKind { Float, Int, Point, AColor4, String, Pointer };

ValueKind KindOf(int type) {
  if (base_type(type) == TYPE_BITMAP || base_type(type) == TYPE_MATRIX3) return ValueKind::Pointer;
  const ParamTypeInfo* info = FindParamType(type);
  switch (info ? info->storage : ParamStorage::Int) {
    case ParamStorage::Float:
      return ValueKind::Float;
    case ParamStorage::Point3:
      return ValueKind::Point;
    case ParamStorage::Point4:
      return ValueKind::AColor4;
    case ParamStorage::String:
      return ValueKind::String;
    case ParamStorage::Reference:
      return ValueKind::Pointer;
    case ParamStorage::Int:
      break;
  }
  return ValueKind::Int;
}

// A table passes Point3, Color, AColor and Class_ID by value. They are trivially copyable
// but not POD (their members have initialisers), so va_arg may not name them; it reads a
// plain struct of the same members, which the calling convention passes the same way.
struct Floats3 {
  float x, y, z;
};
struct Floats4 {
  float r, g, b, a;
};
struct UlongPair {
  ULONG a, b;
};

template <class T, class Plain>
T ReadAs(va_list* ap) {
  static_assert(sizeof(T) == sizeof(Plain) && std::is_trivially_copyable_v<T> &&
                std::is_standard_layout_v<T> && std::is_trivially_copyable_v<Plain>);
  return std::bit_cast<T>(va_arg(*ap, Plain));
}

// p_ui: [map id,] control type, then the control IDs (and values) that type takes.
void ReadUiOption(ParamDef& pd, bool multiMap, va_list* ap) {
  pd.has_ui = true;
  if (multiMap) pd.map_id = static_cast<MapID>(va_arg(*ap, int));
  pd.ctrl_type = static_cast<ControlType2>(va_arg(*ap, int));
  pd.ctrl_IDs.clear();
  switch (pd.ctrl_type) {
    case TYPE_SPINNER:
    case TYPE_SLIDER:
      pd.spin_type = va_arg(*ap, int);
      pd.ctrl_IDs.push_back(va_arg(*ap, int));  // edit field
      pd.ctrl_IDs.push_back(va_arg(*ap, int));  // spinner
      pd.scale = static_cast<float>(va_arg(*ap, double));
      break;
    case TYPE_RADIO: {
      const int n = va_arg(*ap, int);
      for (int i = 0; i < n && i < 64; ++i) pd.ctrl_IDs.push_back(va_arg(*ap, int));
      break;
    }
    case TYPE_INTLISTBOX: {
      pd.ctrl_IDs.push_back(va_arg(*ap, int));
      const int n = va_arg(*ap, int);
      for (int i = 0; i < n && i < 256; ++i) pd.vals.push_back(va_arg(*ap, int));
      break;
    }
    default:
      pd.ctrl_IDs.push_back(va_arg(*ap, int));
      break;
  }
  pd.ctrl_count = static_cast<int>(pd.ctrl_IDs.size());
}

void ReadValue(int type, PB2Value& v, va_list* ap) {
  switch (KindOf(type)) {
    case ValueKind::Float:
      v.f = static_cast<float>(va_arg(*ap, double));
      v.i = static_cast<int>(v.f);
      break;
    case ValueKind::Int:
      v.i = va_arg(*ap, int);
      v.f = static_cast<float>(v.i);
      break;
    case ValueKind::Point:
      if (base_type(type) == TYPE_POINT3)
        v.p = ReadAs<Point3, Floats3>(ap);
      else
        v.p = Point3(ReadAs<Color, Floats3>(ap));
      break;
    case ValueKind::AColor4: {
      const AColor c = ReadAs<AColor, Floats4>(ap);
      v.p = Point3(c.r, c.g, c.b);
      v.f = c.a;
      break;
    }
    case ValueKind::String: {
      const MCHAR* s = va_arg(*ap, const MCHAR*);
      v.s = MSTR(s);
      break;
    }
    case ValueKind::Pointer:
      v.r = static_cast<ReferenceTarget*>(va_arg(*ap, void*));
      break;
  }
}

}  // namespace

void SetInvalidateUIHook(InvalidateUIHook hook) {
  InvalidateHook() = std::move(hook);
}
void SetCreateParamDlgsHook(CreateParamDlgsHook hook) {
  DlgsHook() = std::move(hook);
}

}  // namespace maxhost

using maxhost::kMaxParams;
using maxhost::kMaxTagsPerParam;
using maxhost::ReadAs;
using maxhost::UlongPair;

// The SDK gives the table constructor a USHORT as its last named parameter (and AddParam a
// short ParamID), which a call promotes to int. Both compilers' va_start find the variable
// arguments all the same; clang's warning about the promotion is silenced for these two.
#if defined(__clang__)
#define MAXHOST_VA_START(ap, last)                                                   \
  _Pragma("clang diagnostic push") _Pragma("clang diagnostic ignored \"-Wvarargs\"") \
      va_start(ap, last) _Pragma("clang diagnostic pop")
#else
#define MAXHOST_VA_START(ap, last) va_start(ap, last)
#endif

ParamBlockDesc2::ParamBlockDesc2() = default;

ParamBlockDesc2::ParamBlockDesc2(BlockID id, const MCHAR* name, StringResID localName,
                                 ClassDesc2* c, USHORT f, ...)
    : ID(id), int_name(name), local_name(localName), cd(c), flags(f) {
  va_list ap;
  MAXHOST_VA_START(ap, f);
  if (flags & P_VERSION) version = va_arg(ap, int);
  if (flags & P_AUTO_CONSTRUCT) ref_no = va_arg(ap, int);
  if (flags & P_AUTO_UI) {
    const int nmaps = (flags & P_MULTIMAP) ? va_arg(ap, int) : 1;
    for (int m = 0; m < nmaps && m < 64; ++m) {
      ParamMapInfo info;
      info.map_id = (flags & P_MULTIMAP) ? static_cast<MapID>(va_arg(ap, int)) : MapID(0);
      info.dlg_template = va_arg(ap, int);
      info.title = va_arg(ap, int);
      info.test_flags = va_arg(ap, int);
      info.rollup_flags = va_arg(ap, int);
      info.dlgProc = static_cast<ParamMap2UserDlgProc*>(va_arg(ap, void*));
      maps.push_back(info);
    }
  }
  if (flags & P_HASCATEGORY) category = va_arg(ap, int);
  for (int n = 0; n < kMaxParams; ++n) {
    const int pid = va_arg(ap, int);
    if (pid == p_end) break;
    ParamDef pd;
    pd.ID = static_cast<ParamID>(pid);
    ParseStanza(pd, &ap);
    paramdefs.push_back(pd);
    if (parse_error) break;
  }
  va_end(ap);
  count = static_cast<USHORT>(paramdefs.size());
  if (cd) cd->AddParamBlockDesc(this);
}

ParamBlockDesc2::~ParamBlockDesc2() = default;

void ParamBlockDesc2::ParseStanza(ParamDef& pd, void* args) {
  va_list* ap = static_cast<va_list*>(args);
  pd.int_name = va_arg(*ap, const MCHAR*);
  pd.type = static_cast<ParamType2>(va_arg(*ap, int));
  if (is_tab(pd.type)) pd.tab_size = va_arg(*ap, int);
  pd.flags = va_arg(*ap, int);
  pd.local_name = va_arg(*ap, int);
  for (int k = 0; k < kMaxTagsPerParam; ++k) {
    const int tag = va_arg(*ap, int);
    if (tag == p_end) break;
    ParseOption(pd, tag, ap);
    if (parse_error) break;
  }
}

void ParamBlockDesc2::ParseOption(ParamDef& pd, int tag, void* args) {
  va_list* ap = static_cast<va_list*>(args);
  switch (tag) {
    case p_default:
      maxhost::ReadValue(pd.type, pd.def, ap);
      pd.has_default = true;
      break;
    case p_ms_default:
      maxhost::ReadValue(pd.type, pd.ms_default, ap);
      pd.has_ms_default = true;
      break;
    case p_range:
      maxhost::ReadValue(pd.type, pd.range_low, ap);
      maxhost::ReadValue(pd.type, pd.range_high, ap);
      pd.has_range = true;
      break;
    case p_ui:
      maxhost::ReadUiOption(pd, (flags & P_MULTIMAP) != 0, ap);
      break;
    case p_vals: {
      // One value per radio button, in button order.
      pd.vals.clear();
      const int n = pd.ctrl_count > 0 ? pd.ctrl_count : 0;
      for (int i = 0; i < n; ++i) pd.vals.push_back(va_arg(*ap, int));
      break;
    }
    case p_validator:
      pd.validator = static_cast<PBValidator*>(va_arg(*ap, void*));
      break;
    case p_accessor:
      pd.accessor = static_cast<PBAccessor*>(va_arg(*ap, void*));
      break;
    case p_dim:
      pd.dim = static_cast<ParamDimension*>(va_arg(*ap, void*));
      break;
    case p_classID:
      pd.class_ID = ReadAs<Class_ID, UlongPair>(ap);
      break;
    case p_sclassID:
      pd.sclassID = static_cast<SClass_ID>(va_arg(*ap, int));
      break;
    case p_subtexno:
      pd.subtexno = va_arg(*ap, int);
      break;
    case p_submtlno:
      pd.submtlno = va_arg(*ap, int);
      break;
    case p_refno:
      pd.refno = va_arg(*ap, int);
      break;
    case p_prompt:
      pd.prompt = va_arg(*ap, int);
      break;
    case p_caption:
      pd.caption = va_arg(*ap, int);
      break;
    case p_tooltip:
      pd.tooltip = va_arg(*ap, int);
      break;
    case p_enabled:
      pd.enabled = va_arg(*ap, int);
      break;
    case p_file_types:
      pd.file_types = va_arg(*ap, int);
      break;
    case p_init_file:
    case p_nonLocalizedName:
      (void)va_arg(*ap, const MCHAR*);
      break;
    case p_uix:
      (void)va_arg(*ap, int);
      break;
    default:
      // An unknown tag leaves the rest of the table unreadable: parsing stops here.
      parse_error = "unknown tag in the parameter table";
      break;
  }
}

int ParamBlockDesc2::IDtoIndex(ParamID id) const {
  for (size_t i = 0; i < paramdefs.size(); ++i)
    if (paramdefs[i].ID == id) return static_cast<int>(i);
  return -1;
}

ParamID ParamBlockDesc2::IndextoID(int i) const {
  if (i < 0 || i >= Count()) return -1;
  return paramdefs[static_cast<size_t>(i)].ID;
}

ParamDef& ParamBlockDesc2::GetParamDef(ParamID id) {
  const int i = IDtoIndex(id);
  if (i < 0) throw std::out_of_range("GetParamDef: no parameter with this ID");
  return paramdefs[static_cast<size_t>(i)];
}

int ParamBlockDesc2::NameToIndex(const MCHAR* name) const {
  if (!name) return -1;
  for (size_t i = 0; i < paramdefs.size(); ++i) {
    const MCHAR* a = paramdefs[i].int_name;
    if (a && maxhost::EqualsNoCase(std::wstring_view(a), std::wstring_view(name)))
      return static_cast<int>(i);
  }
  return -1;
}

const MCHAR* ParamBlockDesc2::GetString(StringResID id) const {
  if (!cd || id == 0) return nullptr;
  return cd->GetRsrcString(id);
}

void ParamBlockDesc2::AddParam(ParamID id, ...) {
  ParamDef pd;
  pd.ID = id;
  va_list ap;
  MAXHOST_VA_START(ap, id);
  ParseStanza(pd, &ap);
  va_end(ap);
  paramdefs.push_back(pd);
  count = static_cast<USHORT>(paramdefs.size());
}

void ParamBlockDesc2::DeleteParam(ParamID id) {
  const int i = IDtoIndex(id);
  if (i < 0) return;
  paramdefs.erase(paramdefs.begin() + i);
  count = static_cast<USHORT>(paramdefs.size());
}

void ParamBlockDesc2::ParamOption(ParamID id, int option_tag, ...) {
  const int i = IDtoIndex(id);
  if (i < 0) return;
  va_list ap;
  va_start(ap, option_tag);
  ParseOption(paramdefs[static_cast<size_t>(i)], option_tag, &ap);
  va_end(ap);
}

ParamMapInfo* ParamBlockDesc2::GetMap(MapID map_id) {
  for (auto& m : maps)
    if (m.map_id == map_id) return &m;
  return nullptr;
}

void ParamBlockDesc2::SetUserDlgProc(MapID map_id, ParamMap2UserDlgProc* proc) {
  ParamMapInfo* m = GetMap(map_id);
  if (!m) {
    ParamMapInfo info;
    info.map_id = map_id;
    maps.push_back(info);
    m = &maps.back();
  }
  m->dlgProc = proc;
}

ParamMap2UserDlgProc* ParamBlockDesc2::GetUserDlgProc(MapID map_id) const {
  for (const auto& m : maps)
    if (m.map_id == map_id) return m.dlgProc;
  return nullptr;
}

void ParamBlockDesc2::InvalidateUI() {
  InvalidateUI(-1, -1);
}

void ParamBlockDesc2::InvalidateUI(ParamID id, int tabIndex) {
  ++invalidate_count;
  last_invalidated_id = id;
  last_invalidated_tab = tabIndex;
  if (auto& hook = maxhost::InvalidateHook()) hook(this, id, tabIndex);
}

// ---------------------------------------------------------------- ClassDesc2

ClassDesc2::ClassDesc2() = default;

ClassDesc2::~ClassDesc2() = default;

ParamBlockDesc2* ClassDesc2::GetParamBlockDesc(int i) {
  if (i < 0 || i >= NumParamBlockDescs()) return nullptr;
  return mDescs[static_cast<size_t>(i)];
}

ParamBlockDesc2* ClassDesc2::GetParamBlockDescByID(BlockID id) {
  for (ParamBlockDesc2* d : mDescs)
    if (d->ID == id) return d;
  return nullptr;
}

ParamBlockDesc2* ClassDesc2::GetParamBlockDescByName(const MCHAR* name) {
  if (!name) return nullptr;
  for (ParamBlockDesc2* d : mDescs)
    if (d->int_name && std::wcscmp(d->int_name, name) == 0) return d;
  return nullptr;
}

void ClassDesc2::AddParamBlockDesc(ParamBlockDesc2* pbd) {
  if (!pbd) return;
  for (ParamBlockDesc2* d : mDescs)
    if (d == pbd) return;
  mDescs.push_back(pbd);
  pbd->cd = this;
}

void ClassDesc2::MakeAutoParamBlocks(ReferenceMaker* owner) {
  if (!owner) return;
  for (ParamBlockDesc2* d : mDescs) {
    if (!(d->flags & P_AUTO_CONSTRUCT) || (d->flags & P_CLASS_PARAMS)) continue;
    IParamBlock2* pb = CreateParameterBlock2(d, owner);
    if (owner->ReplaceReference(d->ref_no, pb) != REF_SUCCEED) pb->DeleteThis();
  }
}

IAutoMParamDlg* ClassDesc2::CreateParamDlgs(HWND hwMtlEdit, IMtlParams* imp, ReferenceTarget* obj) {
  if (auto& hook = maxhost::DlgsHook()) return hook(this, hwMtlEdit, imp, obj);
  return nullptr;
}

IAutoMParamDlg* ClassDesc2::CreateParamDlg(BlockID id, HWND hwMtlEdit, IMtlParams* imp,
                                           ReferenceTarget* obj, MapID mapID) {
  (void)id, (void)mapID;
  return CreateParamDlgs(hwMtlEdit, imp, obj);
}

#if MAX_VERSION_MAJOR >= 24
bool ClassDesc2::SetUserDlgProc(ParamBlockDesc2* pbd, MapID map_id, ParamMap2UserDlgProc* proc) {
  if (pbd == nullptr) return false;
  pbd->SetUserDlgProc(map_id, proc);
  return true;
}
#else
void ClassDesc2::SetUserDlgProc(ParamBlockDesc2* pbd, MapID map_id, ParamMap2UserDlgProc* proc) {
  if (pbd) pbd->SetUserDlgProc(map_id, proc);
}
#endif

ParamMap2UserDlgProc* ClassDesc2::GetUserDlgProc(ParamBlockDesc2* pbd, MapID map_id) {
  return pbd ? pbd->GetUserDlgProc(map_id) : nullptr;
}

const MCHAR* ClassDesc2::GetRsrcString(INT_PTR id) {
  // Shared like the SDK's: valid until the next call on this thread.
  thread_local MCHAR buffer[512];
  HINSTANCE inst = HInstance();
  if (!inst || id <= 0) return nullptr;
  if (LoadStringW(inst, static_cast<UINT>(id), buffer, 512) <= 0) return nullptr;
  return buffer;
}

void ClassDesc2::Reset(ReferenceMaker* owner, BOOL updateUI, BOOL callSetHandlers) {
  auto* anim = dynamic_cast<Animatable*>(owner);
  if (!anim) return;
  for (ParamBlockDesc2* d : mDescs) {
    if (!(d->flags & P_AUTO_CONSTRUCT)) continue;
    if (IParamBlock2* pb = anim->GetParamBlockByID(d->ID)) pb->ResetAll(updateUI, callSetHandlers);
  }
}

IParamBlock2* CreateParameterBlock2(ParamBlockDesc2* pdesc, ReferenceMaker* owner) {
  return new maxhost::ParamBlock2(pdesc, owner);
}
