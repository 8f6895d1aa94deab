#include "host_session.h"

#include <cstdlib>
#include <filesystem>

#include "app_error.h"
#include "core/class_directory.h"
#include "dotnet/bridge.h"
#include "imtl.h"
#include "plugapi.h"
#include "render/register.h"

namespace tilvara_app {

std::string Narrow(const std::wstring& text) {
  std::string out;
  for (wchar_t c : text) {
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (static_cast<uint32_t>(c) < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

std::wstring Widen(const std::string& text) {
  std::wstring out;
  for (size_t i = 0; i < text.size();) {
    const unsigned char c = text[i];
    int extra = c < 0x80 ? 0 : c < 0xE0 ? 1 : c < 0xF0 ? 2 : 3;
    uint32_t code = extra == 0 ? c : c & (0x3F >> extra);
    ++i;
    for (int k = 0; k < extra && i < text.size(); ++k, ++i) code = (code << 6) | (text[i] & 0x3F);
    out += static_cast<wchar_t>(code);
  }
  return out;
}

std::string DefaultPluginFolder() {
  if (const char* env = std::getenv("TILVARA_PLUGIN_DIR"); env && *env) return env;
  std::error_code ec;
  const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return "plugins";
  return (exe.parent_path() / "plugins").string();
}

HostSession::HostSession(const std::string& pluginFolder) {
  maxhost::RegisterRenderClasses();
  // The host starts its script engine with the .NET bridge before plug-ins run scripts.
  maxhost::dotnet::installBridge();
  for (const auto& result : loader_.LoadFolder(pluginFolder))
    if (!result.ok) failures_.push_back("tilvara: error: " + result.error);
  if (loader_.Libraries().empty()) {
    throw AppError(pluginFolder,
                   failures_.empty() ? "no plug-in library (*.dlt) in the folder"
                                     : "no plug-in library could be loaded");
  }
}

HostSession::~HostSession() { loader_.UnloadAll(); }

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
