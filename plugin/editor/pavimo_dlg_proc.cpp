#include "editor/pavimo_dlg_proc.h"

#include <shellapi.h>
#include <windows.h>

#include "editor/script_bridge.h"
#include "resource.h"
#include "shell/release.h"
#include "texmap/pavimo.h"

// The address is a build setting (the CMake cache variable of the same name).
#ifndef TILVARA_WEB_PAGE
#error "TILVARA_WEB_PAGE must name the maker's web page"
#endif
#define TILVARA_WIDEN_(s) L##s
#define TILVARA_WIDEN(s) TILVARA_WIDEN_(s)

namespace {

// Release 2.01's rollout has a custom button of its own for "Manage Textures".
#if TILVARA_RELEASE == 201
constexpr int kManageTexturesId = IDC_MANAGE_TEXTURES_201;
#else
constexpr int kManageTexturesId = IDC_MANAGE_TEXTURES;
#endif

}  // namespace

// Every command message from the two controls acts, whatever its notification code: a
// double click on the logo opens the page twice.
INT_PTR PavimoDlgProc::DlgProc(TimeValue /*t*/, IParamMap2* /*map*/, HWND /*hWnd*/, UINT msg,
                               WPARAM wParam, LPARAM /*lParam*/) {
  if (msg != WM_COMMAND) return FALSE;
  switch (LOWORD(wParam)) {
    case kManageTexturesId:
      if (map_) ShowManagerDialog(*map_);
      break;
    case IDC_LOGO:
      // A page that cannot be opened is not reported.
      ShellExecuteW(nullptr, L"open", TILVARA_WIDEN(TILVARA_WEB_PAGE), nullptr, nullptr,
                    SW_SHOWNORMAL);
      break;
    default:
      break;
  }
  return TRUE;
}

void PavimoDlgProc::DeleteThis() {
  delete this;
}

void PavimoDlgProc::SetThing(ReferenceTarget* m) {
  map_ = dynamic_cast<Pavimo*>(m);
}
