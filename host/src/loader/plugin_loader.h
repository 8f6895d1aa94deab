// Loads plug-in libraries (*.dlt) as the host does at start-up: dlopen, the
// library entry point with the module handle, the six exports by plain name, the
// version check, LibInitialize, and registration of the class descriptors.
// Unloading runs the same steps backwards.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class ClassDesc;

namespace maxhost {

struct LoadedLibrary {
  std::string path;
  HINSTANCE instance = nullptr;  // the module record handed to DllMain
  void* dl_handle = nullptr;
  std::wstring description;  // LibDescription, empty when it returned null
  ULONG version = 0;         // LibVersion
  std::vector<ClassDesc*> classes;

  // Resolved entry points, kept for unloading.
  BOOL (*dll_main)(HINSTANCE, DWORD, LPVOID) = nullptr;
  int (*lib_shutdown)() = nullptr;
};

struct PluginLoadResult {
  std::string path;
  bool ok = false;
  // "LoadPlugin: <path>: <why>" (or "LoadFolder: ...") when !ok; the library was skipped.
  std::string error;
};

class PluginLoader {
 public:
  PluginLoader() = default;
  ~PluginLoader();  // unloads what is still loaded
  PluginLoader(const PluginLoader&) = delete;
  PluginLoader& operator=(const PluginLoader&) = delete;

  // Loads every *.dlt file in the folder, in name order. A missing folder gives
  // one failed result.
  std::vector<PluginLoadResult> LoadFolder(const std::string& folder);
  // Loads one library.
  PluginLoadResult LoadPlugin(const std::string& path);

  const std::vector<LoadedLibrary>& Libraries() const { return libraries_; }
  // Unregisters the classes, calls LibShutdown and DllMain(DLL_PROCESS_DETACH),
  // and closes every library, the last loaded first.
  void UnloadAll();

 private:
  std::vector<LoadedLibrary> libraries_;
};

// The host interface version that LibVersion must return (VERSION_3DSMAX).
ULONG HostPluginVersion();

}  // namespace maxhost
