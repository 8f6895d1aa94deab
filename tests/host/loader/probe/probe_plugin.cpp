// A small plug-in for the loader tests, built in several variants (see
// CMakeLists.txt): it reports every entry-point call to the test executable
// through ProbeEvent, which the executable exports.
#include <windows.h>
#include <plugapi.h>

#if !defined(_WIN32)
#include <dlfcn.h>
#endif

#include <string>

#ifndef PROBE_NAME
#define PROBE_NAME "probe"
#endif
#ifndef PROBE_VERSION
#define PROBE_VERSION VERSION_3DSMAX
#endif
#ifndef PROBE_INIT_RESULT
#define PROBE_INIT_RESULT 1
#endif
#ifndef PROBE_CLASS_B
#define PROBE_CLASS_B 0x5678
#endif

namespace {

HINSTANCE g_instance = nullptr;

void Event(const std::string& what) {
  using EventFn = void (*)(const char*);
#if defined(_WIN32)
  auto fn = reinterpret_cast<EventFn>(
      reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(nullptr), "ProbeEvent")));
#else
  auto fn = reinterpret_cast<EventFn>(dlsym(RTLD_DEFAULT, "ProbeEvent"));
#endif
  if (fn) fn((PROBE_NAME ":" + what).c_str());
}

class ProbeClassDesc : public ClassDesc {
 public:
  int IsPublic() override { return 1; }
  void* Create(BOOL) override { return nullptr; }
  const MCHAR* ClassName() override { return L"LoaderProbe"; }
#if MAX_VERSION_MAJOR >= 24
  const MCHAR* NonLocalizedClassName() override {
    return L"LoaderProbe";
  }
#endif
  SClass_ID SuperClassID() override { return TEXMAP_CLASS_ID; }
  Class_ID ClassID() override { return Class_ID(0x1234, PROBE_CLASS_B); }
  const MCHAR* Category() override { return L""; }
  const MCHAR* InternalName() override { return L"LoaderProbe"; }
  HINSTANCE HInstance() override { return g_instance; }
};

ProbeClassDesc g_desc;
WCHAR g_description[512];

}  // namespace

extern "C" __declspec(dllexport) BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    g_instance = instance;
    DisableThreadLibraryCalls(instance);
    Event("attach");
  } else if (reason == DLL_PROCESS_DETACH) {
    Event("detach");
  }
  return TRUE;
}

extern "C" __declspec(dllexport) const MCHAR* LibDescription() {
  // String 1 of the probe's own resources.
  return g_instance && LoadStringW(g_instance, 1, g_description, 512) ? g_description : nullptr;
}

extern "C" __declspec(dllexport) int LibNumberClasses() {
  return 1;
}

extern "C" __declspec(dllexport) ClassDesc* LibClassDesc(int) {
  return &g_desc;
}

extern "C" __declspec(dllexport) ULONG LibVersion() {
  Event("version");
  return PROBE_VERSION;
}

extern "C" __declspec(dllexport) int LibInitialize() {
  Event("initialize");
  return PROBE_INIT_RESULT;
}

#ifndef PROBE_OMIT_SHUTDOWN
extern "C" __declspec(dllexport) int LibShutdown() {
  Event("shutdown");
  return 1;
}
#endif
