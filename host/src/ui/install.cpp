// The hooks through which the core's parameter blocks reach the material editor.
#include <string>

#include "core/ui_hooks.h"
#include "ui/material_editor.h"
#include "ui/param_map.h"

namespace maxhost::ui {
namespace {

std::string& RolloutError() {
  static std::string error;
  return error;
}

// The library installs itself when it loads, as the host's editor is there from start-up.
const bool kInstalledAtLoad = (Install(), true);

}  // namespace

const std::string& LastRolloutError() {
  return RolloutError();
}

AutoParamDlg* CreateAutoParamDlg(ClassDesc2* cd, HWND parent, ReferenceTarget* obj) {
  std::string& error = RolloutError();
  error.clear();
  if (!cd || !obj) {
    error = "create_param_dlgs(): no class or no object";
    return nullptr;
  }
  auto* dlg = new AutoParamDlg(cd, obj);
  for (int i = 0; i < cd->NumParamBlockDescs(); ++i) {
    ParamBlockDesc2* desc = cd->GetParamBlockDesc(i);
    if (!desc || !(desc->flags & P_AUTO_UI)) continue;
    IParamBlock2* pb = obj->GetParamBlockByID(desc->ID);
    for (const ParamMapInfo& info : desc->maps) {
      if (info.dlg_template == 0) continue;
      std::string why;
      if (ParamMap* map = ParamMap::Create(parent, desc, info, pb, obj, why))
        dlg->AddMap(map);
      else if (error.empty())
        error = why;
    }
  }
  if (dlg->Maps().empty()) {
    if (error.empty()) error = "create_param_dlgs(): the class has no automatic rollout";
    delete dlg;
    return nullptr;
  }
  error.clear();
  return dlg;
}

void Install() {
  SetCreateParamDlgsHook([](ClassDesc2* cd, HWND hwMtlEdit, IMtlParams*, ReferenceTarget* obj) {
    return static_cast<IAutoMParamDlg*>(CreateAutoParamDlg(cd, hwMtlEdit, obj));
  });
  SetInvalidateUIHook([](ParamBlockDesc2* desc, ParamID id, int tabIndex) {
    for (ParamMap* map : OpenParamMaps())
      if (map->GetDesc() == desc) map->Invalidate(id, tabIndex);
  });
}

}  // namespace maxhost::ui
