// Export markers of the host libraries. The plug-in is built with hidden visibility, so
// every class and object that lives in a host library must be marked default-visible, or
// the plug-in would bind to hidden copies of their symbols and type information.
#pragma once

#define MAXHOST_VISIBLE __attribute__((visibility("default")))

#ifndef CoreExport
#define CoreExport MAXHOST_VISIBLE
#endif
#ifndef UtilExport
#define UtilExport MAXHOST_VISIBLE
#endif
#ifndef GeomExport
#define GeomExport MAXHOST_VISIBLE
#endif
#ifndef PB2Export
#define PB2Export MAXHOST_VISIBLE
#endif
#ifndef DllExport
#define DllExport MAXHOST_VISIBLE
#endif
#ifndef MAX_NODISCARD
#define MAX_NODISCARD [[nodiscard]]
#endif
