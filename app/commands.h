#pragma once
// The verbs of the command-line host. Each registers its options on a CLI11 subcommand and
// returns the process exit code; errors leave as AppError.

#include <CLI/CLI.hpp>

#include <functional>
#include <string>

namespace tilvara_app {

struct GlobalOptions {
  std::string pluginFolder;  // empty: DefaultPluginFolder()
};

using Runner = std::function<int()>;

Runner AddPluginsCommand(CLI::App& app, const GlobalOptions& global);
Runner AddRenderCommand(CLI::App& app, const GlobalOptions& global);
Runner AddSampleCommand(CLI::App& app, const GlobalOptions& global);
Runner AddScriptCommand(CLI::App& app, const GlobalOptions& global);
Runner AddRolloutCommand(CLI::App& app, const GlobalOptions& global);

std::string PluginFolder(const GlobalOptions& global);

}  // namespace tilvara_app
