// Export markers of the host libraries. On Windows a host library built with
// MAXHOST_BUILDING_HOST exports what it defines and everything else (the plug-in, the
// executables) imports it. Elsewhere the plug-in is built with hidden visibility, so
// every class and object that lives in a host library must be marked default-visible, or
// the plug-in would bind to hidden copies of their symbols and type information.
#pragma once

#if defined(_WIN32)
#if defined(MAXHOST_BUILDING_HOST)
#define MAXHOST_VISIBLE __declspec(dllexport)
#else
#define MAXHOST_VISIBLE __declspec(dllimport)
#endif
#else
#define MAXHOST_VISIBLE __attribute__((visibility("default")))
#endif

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
// DllExport always exports on Windows, as in the SDK: a member declared with it and defined
// in a host library is called as any other function, and an inline member declared with it
// is emitted and exported by every library whose sources include the header.
#ifndef DllExport
#if defined(_WIN32)
#define DllExport __declspec(dllexport)
#else
#define DllExport MAXHOST_VISIBLE
#endif
#endif
#ifndef MAX_NODISCARD
#define MAX_NODISCARD [[nodiscard]]
#endif
