#include "loader/plugin_loader.h"

#include <plugapi.h>

#if !defined(_WIN32)
#include <dlfcn.h>
#endif

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>

#include "base/files.h"
#include "base/text.h"
#include "core/class_directory.h"
#include "win32/elf_section.h"
#include "win32/module.h"
#include "win32/pe_image.h"
#if defined(_WIN32)
#include "win32/pe_module.h"
#endif

namespace maxhost {

namespace {

using DllMainFn = BOOL (*)(HINSTANCE, DWORD, LPVOID);
using DescriptionFn = const MCHAR* (*)();
using NumberClassesFn = int (*)();
using ClassDescFn = ClassDesc* (*)(int);
using VersionFn = ULONG (*)();
using InitShutdownFn = int (*)();

constexpr const char* kLoadPlugin = "LoadPlugin";
constexpr const char* kLoadFolder = "LoadFolder";
constexpr std::size_t kMaxLibraryBytes = std::size_t{512} << 20;

// More classes than any library could sensibly hold: a garbage count.
constexpr int kMaxClassesPerLibrary = 10000;

std::string Hex(ULONG v) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "0x%08X", static_cast<unsigned>(v));
  return buffer;
}

// Runs a call into the plug-in; an exception becomes an error text.
template <typename F>
bool Guarded(F&& call, const char* what, std::string& why) {
  try {
    call();
    return true;
  } catch (const std::exception& e) {
    why = std::string(what) + " threw: " + e.what();
  } catch (...) {
    why = std::string(what) + " threw an exception";
  }
  return false;
}

// The system's loader. On Windows it also calls the library's entry point, on load and on
// unload; elsewhere the host calls it with the module record.
#if defined(_WIN32)
constexpr bool kSystemCallsDllMain = true;

void* OpenLibrary(const std::string& path, std::string& why) {
  HMODULE m = LoadLibraryW(WideFromUtf8(path).c_str());
  if (!m) {
    const DWORD code = GetLastError();
    wchar_t text[512] = {};
    FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                   text, static_cast<DWORD>(std::size(text)), nullptr);
    std::string message = Utf8FromWide(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                                message.back() == ' ' || message.back() == '.'))
      message.pop_back();
    why = message.empty() ? "error " + std::to_string(code) : message;
  }
  return m;
}
void* Symbol(void* library, const char* name) {
  FARPROC f = GetProcAddress(static_cast<HMODULE>(library), name);
  void* p = nullptr;
  std::memcpy(&p, &f, sizeof p);
  return p;
}
void CloseLibrary(void* library) {
  FreeLibrary(static_cast<HMODULE>(library));
}
#else
constexpr bool kSystemCallsDllMain = false;

void* OpenLibrary(const std::string& path, std::string& why) {
  void* dl = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!dl) {
    const char* reason = dlerror();
    why = reason ? reason : "unknown reason";
  }
  return dl;
}
void* Symbol(void* library, const char* name) {
  return dlsym(library, name);
}
void CloseLibrary(void* library) {
  dlclose(library);
}
#endif

struct Exports {
  DescriptionFn description = nullptr;
  NumberClassesFn numberClasses = nullptr;
  ClassDescFn classDesc = nullptr;
  VersionFn version = nullptr;
  InitShutdownFn initialize = nullptr;
};

// Resolves the entry point and the six exports by their plain names; returns the name of
// the first export that is missing, or nothing.
std::string ResolveExports(void* dl, LoadedLibrary& lib, Exports& e) {
  if (!kSystemCallsDllMain) lib.dll_main = reinterpret_cast<DllMainFn>(Symbol(dl, "DllMain"));
  e.description = reinterpret_cast<DescriptionFn>(Symbol(dl, "LibDescription"));
  e.numberClasses = reinterpret_cast<NumberClassesFn>(Symbol(dl, "LibNumberClasses"));
  e.classDesc = reinterpret_cast<ClassDescFn>(Symbol(dl, "LibClassDesc"));
  e.version = reinterpret_cast<VersionFn>(Symbol(dl, "LibVersion"));
  e.initialize = reinterpret_cast<InitShutdownFn>(Symbol(dl, "LibInitialize"));
  lib.lib_shutdown = reinterpret_cast<InitShutdownFn>(Symbol(dl, "LibShutdown"));
  const std::pair<const char*, bool> found[] = {{"LibDescription", e.description != nullptr},
                                                {"LibNumberClasses", e.numberClasses != nullptr},
                                                {"LibClassDesc", e.classDesc != nullptr},
                                                {"LibVersion", e.version != nullptr},
                                                {"LibInitialize", e.initialize != nullptr},
                                                {"LibShutdown", lib.lib_shutdown != nullptr}};
  for (const auto& [name, present] : found)
    if (!present) return name;
  return {};
}

// Asks an initialised library for its description and class descriptors; returns why that
// failed, or nothing.
std::string ListClasses(LoadedLibrary& lib, const Exports& e) {
  std::string why;
  Guarded(
      [&] {
        const MCHAR* text = e.description();
        lib.description = text ? text : L"";
        const int count = e.numberClasses();
        if (count < 0 || count > kMaxClassesPerLibrary) {
          why = "LibNumberClasses returned " + std::to_string(count);
          return;
        }
        for (int i = 0; i < count; ++i)
          if (ClassDesc* cd = e.classDesc(i)) lib.classes.push_back(cd);
      },
      "listing the classes", why);
  return why;
}

struct LibraryFile {
  std::vector<Resource> resources;
  std::string resourceError;  // why there are none
};

// The dynamic loader maps what a library's headers promise; a promise past the end of the
// file faults inside it, where nothing can be caught. So the file is read and checked
// first, and (but on Windows, where the system reads them) its resources are parsed from
// the same bytes.
Status CheckLibraryFile(const std::string& path, LibraryFile& out) {
  std::vector<std::uint8_t> file;
  if (Status read = ReadRegularFile(kLoadPlugin, path, kMaxLibraryBytes, file); !read) return read;
  const std::string where = std::string(kLoadPlugin) + ": " + path + ": ";
#if defined(_WIN32)
  if (const std::string why = PeLibraryProblem(file); !why.empty())
    return Status::Failure(where + why);
  static_cast<void>(out);
  return Status::Success();
#else
  if (const std::string why = ElfLibraryProblem(file); !why.empty())
    return Status::Failure(where + why);
  ElfSectionResult section = FindElfSection(file, kResourceSectionName);
  if (!section.found) {
    out.resourceError = section.error;
    return Status::Success();
  }
  ResParseResult parsed = ParseResFile(section.bytes);
  if (!parsed.ok)
    return Status::Failure(where + "its resource section is damaged: " + parsed.error);
  out.resources = std::move(parsed.resources);
  return Status::Success();
#endif
}

}  // namespace

ULONG HostPluginVersion() {
  return VERSION_3DSMAX;
}

PluginLoader::~PluginLoader() {
  UnloadAll();
}

std::vector<PluginLoadResult> PluginLoader::LoadFolder(const std::string& folder) {
  namespace fs = std::filesystem;
  std::vector<PluginLoadResult> results;
  std::error_code ec;
  auto failed = [&](const std::string& why) {
    results.push_back({folder, false, std::string(kLoadFolder) + ": " + folder + ": " + why});
    return results;
  };
  const fs::path where = PathFromUtf8(folder);
  const fs::file_status status = fs::status(where, ec);
  if (!fs::exists(status)) return failed("no such plug-in folder");
  if (!fs::is_directory(status)) return failed("not a plug-in folder (not a directory)");
  std::vector<std::string> paths;
  fs::directory_iterator it(where, ec);
  if (ec) return failed("the folder cannot be read: " + ec.message());
  for (const fs::directory_entry& entry : it) {
    if (EqualsNoCase(entry.path().extension().string(), std::string_view(".dlt")))
      paths.push_back(Utf8FromPath(entry.path()));
  }
  std::sort(paths.begin(), paths.end());
  for (const std::string& path : paths) results.push_back(LoadPlugin(path));
  return results;
}

PluginLoadResult PluginLoader::LoadPlugin(const std::string& path) {
  PluginLoadResult result{path, false, {}};
  auto fail = [&](const std::string& why) {
    result.error = std::string(kLoadPlugin) + ": " + path + ": " + why;
    return result;
  };
  LibraryFile checked;
  if (Status s = CheckLibraryFile(path, checked); !s) {
    result.error = s.error;
    return result;
  }
  std::string reason;
  void* dl = OpenLibrary(path, reason);
  if (!dl) return fail("cannot load the library: " + reason);
  LoadedLibrary lib;
  lib.path = path;
  lib.dl_handle = dl;
  Exports exports;
  if (const std::string missing = ResolveExports(dl, lib, exports); !missing.empty()) {
    CloseLibrary(dl);
    return fail("missing export " + missing);
  }
#if defined(_WIN32)
  // The stand-in has no desktop: what the library would show there is recorded instead.
  RedirectImports(static_cast<HMODULE>(dl));
  checked.resources = ReadModuleResources(static_cast<HMODULE>(dl), &checked.resourceError);
#endif
  lib.instance =
      RegisterLibrary(path, dl, std::move(checked.resources), std::move(checked.resourceError));
  // Undoes the attach when a later step refuses the library.
  auto detach_and_close = [&]() {
    std::string ignored;
    if (lib.dll_main)
      Guarded([&] { lib.dll_main(lib.instance, DLL_PROCESS_DETACH, nullptr); }, "DllMain", ignored);
    UnregisterModule(lib.instance);
    CloseLibrary(dl);
  };
  std::string why;
  if (lib.dll_main) {
    BOOL attached = FALSE;
    if (!Guarded([&] { attached = lib.dll_main(lib.instance, DLL_PROCESS_ATTACH, nullptr); },
                 "DllMain", why) ||
        !attached) {
      detach_and_close();
      return fail(why.empty() ? "DllMain refused DLL_PROCESS_ATTACH" : why);
    }
  }
  if (!Guarded([&] { lib.version = exports.version(); }, "LibVersion", why)) {
    detach_and_close();
    return fail(why);
  }
  if (lib.version != HostPluginVersion()) {
    detach_and_close();
    return fail("LibVersion " + Hex(lib.version) + " does not match the host's " +
                Hex(HostPluginVersion()));
  }
  int initialized = 0;
  if (!Guarded([&] { initialized = exports.initialize(); }, "LibInitialize", why) || !initialized) {
    detach_and_close();
    return fail(why.empty() ? "LibInitialize failed" : why);
  }
  why = ListClasses(lib, exports);
  if (!why.empty()) {
    std::string ignored;
    Guarded([&] { lib.lib_shutdown(); }, "LibShutdown", ignored);
    detach_and_close();
    return fail(why);
  }
  for (ClassDesc* cd : lib.classes) RegisterClassDesc(cd);
  libraries_.push_back(std::move(lib));
  result.ok = true;
  return result;
}

void PluginLoader::UnloadAll() {
  while (!libraries_.empty()) {
    LoadedLibrary lib = std::move(libraries_.back());
    libraries_.pop_back();
    for (ClassDesc* cd : lib.classes) UnregisterClassDesc(cd);
    std::string ignored;
    Guarded([&] { lib.lib_shutdown(); }, "LibShutdown", ignored);
    if (lib.dll_main)
      Guarded([&] { lib.dll_main(lib.instance, DLL_PROCESS_DETACH, nullptr); }, "DllMain", ignored);
    UnregisterModule(lib.instance);
    CloseLibrary(lib.dl_handle);
  }
}

}  // namespace maxhost
