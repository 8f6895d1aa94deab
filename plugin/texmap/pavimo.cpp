// Pavimo's lifecycle, references, sub-anims and sub-texture access.
#include "texmap/pavimo.h"

#include <hold.h>
#include <iparamm2.h>
#include <maxapi.h>

#include "editor/pavimo_dlg_proc.h"
#include "editor/script_bridge.h"
#include "resource.h"
#include "shell/release.h"
#include "shell/tilvara.h"

namespace {

TimeValue CurrentTime() {
  Interface* ip = GetCOREInterface();
  return ip ? ip->GetTime() : 0;
}

}  // namespace

#if TILVARA_RELEASE == 204
Pavimo::Pavimo() : pblock_(this, new RefCallback{this, &Pavimo::OnBlockMessage}) {
  GetPavimoDesc()->MakeAutoParamBlocks(this);
  Reset();
  // Updates that ran while the block was being reset wrote into no sub-texture: the first
  // update of the finished map writes every bitmap setting.
  cache_.settingsWritten = false;
}

Pavimo::~Pavimo() {
  DiscardTexHandle();
  // The dialog's closing handler still reaches the whole map through its script wrapper.
  CloseManagerDialog(*this);
  table_.Init();
  // The block's slot goes with pblock_, under suspended undo.
}
#endif

BaseInterface* Pavimo::GetInterface(Interface_ID id) {
  if (id == PAVIMO_INTERFACE_ID) return static_cast<FPMixinInterface*>(this);
  return ReferenceTarget::GetInterface(id);
}

void Pavimo::DeleteThis() {
  delete this;
}

#if MAX_VERSION_MAJOR >= 24
void Pavimo::GetClassName(MSTR& s, bool /*localized*/) const {
#else
void Pavimo::GetClassName(MSTR& s) {
#endif
  const MCHAR* name = GetString(IDS_CLASS_NAME);
  s = name ? name : _T("");
}

Animatable* Pavimo::SubAnim(int i) {
  return i == 0 ? Block() : nullptr;
}

#if MAX_VERSION_MAJOR >= 24
MSTR Pavimo::SubAnimName(int i, bool localized) {
#else
MSTR Pavimo::SubAnimName(int i) {
#endif
  if (i == 0) {
    const MCHAR* name = GetString(IDS_PARAMS);
    return name ? MSTR(name) : MSTR();
  }
#if MAX_VERSION_MAJOR >= 24
  return GetSubTexmapTVName(i, localized);
#else
  return GetSubTexmapTVName(i);
#endif
}

// Only a scene render keys by object or tile; the material editor renders with flags set.
int Pavimo::RenderBegin(TimeValue /*t*/, ULONG flags) {
  if (flags == 0) sceneRender_ = TRUE;
  return 1;
}

int Pavimo::RenderEnd(TimeValue /*t*/) {
  sceneRender_ = FALSE;
  return 1;
}

IParamBlock2* Pavimo::GetParamBlock(int /*i*/) {
  return Block();
}

IParamBlock2* Pavimo::GetParamBlockByID(BlockID id) {
  IParamBlock2* pb = Block();
  return pb && pb->ID() == id ? pb : nullptr;
}

#if TILVARA_RELEASE == 204
#if MAX_VERSION_MAJOR >= 28
void Pavimo::RefDeleted(ReferenceMaker* /*oldOwner*/) {
#else
void Pavimo::RefDeleted() {
#endif
  CheckMaterials();
}
#endif

RefTargetHandle Pavimo::Clone(RemapDir& remap) {
  auto* map = new Pavimo();
  *static_cast<MtlBase*>(map) = *static_cast<MtlBase*>(this);
  map->cache_.validity.SetEmpty();
  map->ReplaceReference(PAVIMO_PBLOCK_REF, remap.CloneRef(Block()));
  BaseClone(this, map, remap);
  return map;
}

ULONG Pavimo::LocalRequirements(int /*subMtlNum*/) {
  return 0;
}

// Writes the values a new map starts with; the lists and the flat colour settings are
// left as they are (the next update fits the lists to the now empty `submaps`).
void Pavimo::Reset() {
  IParamBlock2* pb = Block();
  if (pb) {
    const TimeValue t = CurrentTime();
    pb->SetCount(pb_submaps, 0);
    pb->SetValue(pb_all_gamma, t, 1.0f);
    pb->SetValue(pb_all_hue, t, 0.0f);
    pb->SetValue(pb_all_sat, t, 100.0f);
    pb->SetValue(pb_rnd_gamma, t, 0.0f);
    pb->SetValue(pb_rnd_hue, t, 0.0f);
    pb->SetValue(pb_rnd_sat, t, 0.0f);
    pb->SetValue(pb_occ_gamma, t, 50.0f);
    pb->SetValue(pb_occ_hue, t, 50.0f);
    pb->SetValue(pb_occ_sat, t, 50.0f);
    pb->SetValue(pb_rnd_by, t, 0);
    pb->SetValue(pb_seed, t, 12345);
    pb->SetValue(pb_blur, t, 1.0f);
    pb->SetValue(pb_filtering, t, 0);
  }
#if TILVARA_RELEASE == 201
  cache_.lastRotation = 0.0f;
#endif
  cache_.validity.SetEmpty();
}

// The automatic rollout, with a new dialog procedure for the two controls that are not
// parameters; the rollout's parameter map owns and deletes the procedure.
ParamDlg* Pavimo::CreateParamDlg(HWND hwMtlEdit, IMtlParams* imp) {
  IAutoMParamDlg* dlg = GetPavimoDesc()->CreateParamDlgs(hwMtlEdit, imp, this);
  // Without a rollout no map would own the procedure.
  if (dlg) pavimo_param_blk.SetUserDlgProc(new PavimoDlgProc(this));
  return dlg;
}

int Pavimo::NumSubTexmaps() {
  IParamBlock2* pb = Block();
  return pb ? pb->Count(pb_submaps) : 0;
}

Texmap* Pavimo::GetSubTexmap(int i) {
  IParamBlock2* pb = Block();
  if (!pb || i < 0 || i >= pb->Count(pb_submaps)) return nullptr;
  return pb->GetTexmap(pb_submaps, 0, i);
}

void Pavimo::SetSubTexmap(int i, Texmap* m) {
  IParamBlock2* pb = Block();
  if (!pb || i < 0 || i >= pb->Count(pb_submaps)) return;
  pb->SetValue(pb_submaps, 0, m, i);
}

#if MAX_VERSION_MAJOR >= 24
MSTR Pavimo::GetSubTexmapSlotName(int i, bool /*localized*/) {
#else
MSTR Pavimo::GetSubTexmapSlotName(int i) {
#endif
  if (Texmap* m = GetSubTexmap(i)) return m->GetName();
  return MSTR();
}

BOOL Pavimo::SetDlgThing(ParamDlg* /*dlg*/) {
  return FALSE;
}

FPInterfaceDesc* Pavimo::GetDesc() {
  return GetPavimoInterfaceDesc();
}

FPInterfaceDesc* Pavimo::GetDescByID(Interface_ID id) {
  if (id == PAVIMO_INTERFACE_ID) return GetPavimoInterfaceDesc();
  return &nullInterface;
}

// The `ListView` property. The setter stores whatever script value it is given, unprotected;
// only the show path protects the dialog it stores.
FPStatus Pavimo::_dispatch_fn(FunctionID fid, TimeValue /*t*/, FPValue& result, FPParams* p) {
  switch (fid) {
    case pavimo_get_listview:
      result.Load(TYPE_VALUE, listView_);
      return FPS_OK;
    case pavimo_set_listview: {
      // Without arguments the index check throws OutOfRangeException, as for any caller
      // that passes too few.
      FPParams none;
      FPParams& args = p ? *p : none;
      SetListView(args.params[0].v);
      return FPS_OK;
    }
    default:
      return FPS_NO_SUCH_FUNCTION;
  }
}

#if TILVARA_RELEASE == 204
int Pavimo::OnBlockMessage(void* map, RefMessage message, PartID& /*partID*/) {
  static_cast<Pavimo*>(map)->BlockMessage(message);
  return REF_SUCCEED;
}

void Pavimo::BlockMessage(RefMessage message) {
  IParamBlock2* pb = Block();
  switch (message) {
    case REFMSG_CHANGE: {
      cache_.validity.SetEmpty();
      if (!pb) break;
      const ParamID id = pb->LastNotifyParamID();
      pb->GetDesc()->InvalidateUI(id, -1);
      if (id != -1) DiscardTexHandle();
      break;
    }
    case REFMSG_SUBANIM_STRUCTURE_CHANGED: {
      // Only a change in the entries of `submaps`: the update fits the other two lists to
      // it before the open manager dialog redraws from all three.
      if (!pb || pb->LastNotifyParamID() != pb_submaps) break;
      cache_.validity.SetEmpty();
      Interval scratch = NEVER;
      Update(CurrentTime(), scratch);
      if (listView_) UpdateManagerDialog(*this);
      break;
    }
    case REFMSG_REF_DELETED:
      CheckMaterials();
      break;
    default:
      break;
  }
}

// A map that no material or map uses any more loses its manager dialog.
void Pavimo::CheckMaterials() {
  FindMaterialEnum finder(this);
  DoEnumDependents(&finder);
  if (!finder.found) CloseManagerDialog(*this);
}

int FindMaterialEnum::proc(ReferenceMaker* rmaker) {
  if (rmaker != map_ && dynamic_cast<MtlBase*>(rmaker)) {
    found = true;
    return DEP_ENUM_HALT;
  }
  return DEP_ENUM_CONTINUE;
}
#endif
