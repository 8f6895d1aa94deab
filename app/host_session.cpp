#include "host_session.h"

#include <cstdlib>
#include <filesystem>
#include <iterator>

#include "app_error.h"
#include "base/files.h"
#include "core/class_directory.h"
#include "dotnet/bridge.h"
#include "imtl.h"
#include "plugapi.h"
#include "render/register.h"

namespace tilvara_app {

std::string DefaultPluginFolder() {
  if (const char* env = std::getenv("TILVARA_PLUGIN_DIR"); env && *env) return env;
#if defined(_WIN32)
  wchar_t path[MAX_PATH * 4];
  const DWORD n = GetModuleFileNameW(nullptr, path, static_cast<DWORD>(std::size(path)));
  if (n == 0 || n >= std::size(path)) return "plugins";
  const std::filesystem::path exe(std::wstring(path, n));
#else
  std::error_code ec;
  const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return "plugins";
#endif
  return maxhost::Utf8FromPath(exe.parent_path() / "plugins");
}

HostSession::HostSession(const std::string& pluginFolder) {
  maxhost::RegisterRenderClasses();
  // The host starts its script engine with the .NET bridge before plug-ins run scripts.
  maxhost::dotnet::installBridge();
  for (const auto& result : loader_.LoadFolder(pluginFolder))
    if (!result.ok) failures_.push_back(result.error);
  if (loader_.Libraries().empty()) {
    throw AppError(pluginFolder, failures_.empty()
                                     ? "no plug-in library (*.dlt) in the folder"
                                     : "no plug-in library could be loaded (" + failures_[0] + ")");
  }
}

HostSession::~HostSession() {
  loader_.UnloadAll();
}

ClassDesc* HostSession::TilvaraClass() const {
  ClassDesc* cd = maxhost::FindClassDescByInternalName(L"Tilvara");
  if (!cd || cd->SuperClassID() != TEXMAP_CLASS_ID)
    throw AppError("Tilvara", "no loaded plug-in provides the Tilvara texture map");
  return cd;
}

Texmap* HostSession::NewTilvaraMap() const {
  auto* map = static_cast<Texmap*>(TilvaraClass()->Create(FALSE));
  if (!map) throw AppError("Tilvara", "the class descriptor made no map");
  return map;
}

}  // namespace tilvara_app
