// tilvara: the command-line host. It loads the plug-ins of a folder as 3ds Max does and
// renders, samples, scripts or draws the rollout of a Tilvara map.

#include <cstdio>
#include <exception>
#include <new>
#include <string>
#include <vector>

#if defined(_WIN32)
#include <windows.h>
#include <shellapi.h>
#endif

#include "app_error.h"
#include "base/text.h"
#include "commands.h"
#include "host_session.h"

namespace tilvara_app {
std::string PluginFolder(const GlobalOptions& global) {
  return global.pluginFolder.empty() ? DefaultPluginFolder() : global.pluginFolder;
}
}  // namespace tilvara_app

int main(int argc, char** argv) {
  using namespace tilvara_app;
  CLI::App app{"tilvara: runs the Tilvara texture-map plug-in in a stand-in 3ds Max host"};
  // Options are --long and -s on every platform; an argument that begins with / is a path
  // (CLI11 would take it for a Windows-style option there). Verbs inherit the setting.
  app.allow_windows_style_options(false);
  app.require_subcommand(1);
  GlobalOptions global;
  app.add_option(
      "--plugins-dir", global.pluginFolder,
      "folder of plug-in libraries (*.dlt); default: $TILVARA_PLUGIN_DIR or plugins/ beside "
      "the program");

  std::vector<std::pair<CLI::App*, Runner>> verbs;
  auto add = [&](const char* name, const char* help, auto adder) {
    CLI::App* sub = app.add_subcommand(name, help);
    sub->fallthrough();  // --plugins-dir may also follow the verb
    verbs.emplace_back(sub, adder(*sub, global));
  };
  add("plugins", "list the loaded plug-in libraries and their classes", AddPluginsCommand);
  add("render", "render a scene with a Tilvara map (with no options: the built-in demo)",
      AddRenderCommand);
  add("sample", "print the map's colour, mono and bump for a list of samples, as JSON lines",
      AddSampleCommand);
  add("script", "run MAXScript with the plug-ins loaded", AddScriptCommand);
  add("rollout", "draw the map's rollout as the material editor shows it", AddRolloutCommand);

#if defined(_WIN32)
  // Arguments are UTF-8 as on other platforms, not the ANSI code page's narrow form.
  std::vector<std::string> utf8;
  if (int count = 0; LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count)) {
    for (int i = 0; i < count; ++i) utf8.push_back(maxhost::Utf8FromWide(wide[i]));
    LocalFree(wide);
  }
  std::vector<char*> pointers;
  for (std::string& a : utf8) pointers.push_back(a.data());
  if (!pointers.empty()) {
    argc = static_cast<int>(pointers.size());
    argv = pointers.data();
  }
#endif
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    if (e.get_exit_code() == 0) return app.exit(e);
    std::fprintf(stderr, "tilvara: error: command line: %s\n", e.what());
    return 2;
  }
  for (auto& [sub, run] : verbs) {
    if (!sub->parsed()) continue;
    try {
      return run();
    } catch (const AppError& e) {
      std::fflush(stdout);
      std::fprintf(stderr, "tilvara: error: %s\n", e.what());
    } catch (const std::bad_alloc&) {
      std::fflush(stdout);
      std::fprintf(stderr, "tilvara: error: %s: out of memory\n", sub->get_name().c_str());
    } catch (const std::exception& e) {
      // Not expected from the verbs; named after the verb so that the form holds.
      std::fflush(stdout);
      std::fprintf(stderr, "tilvara: error: %s: %s\n", sub->get_name().c_str(), e.what());
    }
    return 1;
  }
  return 1;
}
