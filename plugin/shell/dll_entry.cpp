// The library's entry point and the six exports through which the host learns what the
// library holds.
#include <iterator>

#include <iparamb2.h>
#include <plugapi.h>

#include "resource.h"
#include "shell/tilvara.h"

namespace {

// Every class the library registers; counts come from the size of this list.
ClassDesc* (*const kClassDescs[])() = {
    [] { return static_cast<ClassDesc*>(GetPavimoDesc()); },
};

}  // namespace

// Windows finds the entry point through the image header, so it is not exported there;
// elsewhere the host looks it up by name.
#if defined(_WIN32)
#define TILVARA_ENTRY_POINT
#else
#define TILVARA_ENTRY_POINT __declspec(dllexport)
#endif

extern "C" TILVARA_ENTRY_POINT BOOL WINAPI DllMain(HINSTANCE hinstDLL, DWORD fdwReason,
                                                   LPVOID /*lpvReserved*/) {
  if (fdwReason == DLL_PROCESS_ATTACH) {
    hInstance = hinstDLL;
    DisableThreadLibraryCalls(hinstDLL);
  }
  return TRUE;
}

extern "C" __declspec(dllexport) const MCHAR* LibDescription() {
  return GetString(IDS_LIBDESCRIPTION);
}

extern "C" __declspec(dllexport) int LibNumberClasses() {
  return static_cast<int>(std::size(kClassDescs));
}

// With a single class every index names it.
extern "C" __declspec(dllexport) ClassDesc* LibClassDesc(int i) {
  if (i < 0 || i >= LibNumberClasses()) i = 0;
  return kClassDescs[i]();
}

extern "C" __declspec(dllexport) ULONG LibVersion() {
  return VERSION_3DSMAX;
}

extern "C" __declspec(dllexport) int LibInitialize() {
  return TRUE;
}

extern "C" __declspec(dllexport) int LibShutdown() {
  return TRUE;
}
