// Host-side controls of the core interface, for the command-line host and tests.
#pragma once

#include <maxapi.h>

namespace maxhost {

// Makes GetCOREInterface() return ip (which may be null: a host without a core
// interface) until cleared.
CoreExport void SetCoreInterfaceOverride(Interface* ip);
CoreExport void ClearCoreInterfaceOverride();
// Current nesting of DisableSceneRedraw on the host's own core interface.
CoreExport int SceneRedrawDisableCount();

}  // namespace maxhost
