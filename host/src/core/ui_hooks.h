// Hooks through which the material-editor library takes over the parts of parameter
// blocks that show up on screen. Without them, the core records and does nothing more.
#pragma once

#include <functional>

#include <iparamb2.h>
#include <iparamm2.h>

namespace maxhost {

using InvalidateUIHook = std::function<void(ParamBlockDesc2* desc, ParamID id, int tabIndex)>;
using CreateParamDlgsHook = std::function<IAutoMParamDlg*(ClassDesc2* cd, HWND hwMtlEdit,
                                                          IMtlParams* imp, ReferenceTarget* obj)>;

// Called by ParamBlockDesc2::InvalidateUI (id -1: every parameter).
CoreExport void SetInvalidateUIHook(InvalidateUIHook hook);
// Called by ClassDesc2::CreateParamDlgs; with no hook it returns null.
CoreExport void SetCreateParamDlgsHook(CreateParamDlgsHook hook);

}  // namespace maxhost
