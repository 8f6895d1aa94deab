// The core interface: the host's current time and a few application services.
#pragma once

#include "ifnpub.h"
#include "maxtypes.h"
#include "ref.h"
#include "strclass.h"

class CoreExport Interface : public FPStaticInterface {
 public:
  virtual ~Interface() = default;
  virtual TimeValue GetTime() = 0;
  virtual void SetTime(TimeValue t, BOOL redraw = TRUE) = 0;
  virtual Interval GetAnimRange() = 0;
  virtual int GetTicksPerFrame() { return 160; }
  virtual int GetFrameRate() { return 30; }
  // Scene redraw suspension, counted: each Disable needs an Enable.
  virtual void DisableSceneRedraw() = 0;
  virtual void EnableSceneRedraw() = 0;
  virtual int IsSceneRedrawDisabled() = 0;
  virtual void RedrawViews(TimeValue t, DWORD vpFlags = 0, ReferenceTarget* change = nullptr) = 0;
  virtual HWND GetMAXHWnd() = 0;
  virtual BOOL IsNetServer() { return FALSE; }
  virtual BOOL GetQuietMode() { return TRUE; }
};

#include "GetCOREInterface.h"

// The scene's "changed since saved" flag.
CoreExport void SetSaveRequiredFlag(BOOL requireSave = TRUE, BOOL checkForSave = TRUE);
CoreExport BOOL IsSaveRequired();
