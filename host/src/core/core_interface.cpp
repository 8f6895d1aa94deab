// The core interface and the host-wide constants of the core library.
#include "core/core_state.h"

#include <maxapi.h>
#include <plugapi.h>

MCHAR TEXMAP_CAT_2D[] = L"2D maps";
MCHAR TEXMAP_CAT_3D[] = L"3D maps";
MCHAR TEXMAP_CAT_COMP[] = L"Compositors";
MCHAR TEXMAP_CAT_COLMOD[] = L"Color Mods";
MCHAR TEXMAP_CAT_ENV[] = L"Environment";

namespace {

class CoreInterface : public Interface {
 public:
  TimeValue GetTime() override { return mTime; }
  void SetTime(TimeValue t, BOOL redraw) override {
    (void)redraw;
    mTime = t;
  }
  Interval GetAnimRange() override { return Interval(0, 100 * 160); }
  void DisableSceneRedraw() override { ++mRedrawDisabled; }
  void EnableSceneRedraw() override {
    if (mRedrawDisabled > 0) --mRedrawDisabled;
  }
  int IsSceneRedrawDisabled() override { return mRedrawDisabled; }
  void RedrawViews(TimeValue t, DWORD vpFlags, ReferenceTarget* change) override {
    (void)t, (void)vpFlags, (void)change;
    ++mRedraws;
  }
  HWND GetMAXHWnd() override { return nullptr; }

  TimeValue mTime = 0;
  int mRedrawDisabled = 0;
  int mRedraws = 0;
};

CoreInterface& TheCore() {
  static CoreInterface core;
  return core;
}

Interface* gOverride = nullptr;
bool gOverrideSet = false;

}  // namespace

Interface* GetCOREInterface() {
  return gOverrideSet ? gOverride : &TheCore();
}

namespace maxhost {

void SetCoreInterfaceOverride(Interface* ip) {
  gOverride = ip;
  gOverrideSet = true;
}

void ClearCoreInterfaceOverride() {
  gOverride = nullptr;
  gOverrideSet = false;
}

int SceneRedrawDisableCount() {
  return TheCore().mRedrawDisabled;
}

}  // namespace maxhost
