#include <cstdio>
#include <memory>

#include "app_error.h"
#include "commands.h"
#include "host_session.h"
#include "imtl.h"
#include "map_setup.h"
#include "render/ref_holder.h"
#include "ui/material_editor.h"

namespace tilvara_app {
namespace {

struct RolloutArgs {
  std::vector<std::string> settings;
  std::string output = "tilvara-rollout.png";
  int scale = 2;
};

int Run(const RolloutArgs& args, const GlobalOptions& global) {
  HostSession session(PluginFolder(global));
  maxhost::RefHolder holder;
  Texmap* map = holder.Hold(session.NewTilvaraMap());
  ApplySettings(map, args.settings);
  maxhost::ui::MaterialEditor editor;
  editor.Show(map);
  std::string why;
  if (!editor.DrawToPng(args.output, args.scale, why)) throw AppError(args.output, why);
  editor.Close();
  std::printf("tilvara: wrote %s\n", args.output.c_str());
  return 0;
}

}  // namespace

Runner AddRolloutCommand(CLI::App& app, const GlobalOptions& global) {
  auto args = std::make_shared<RolloutArgs>();
  app.add_option("--set", args->settings,
                 "set a map parameter by its script name first, NAME=VALUE; repeatable");
  app.add_option("-o,--output", args->output, "PNG file to write")->capture_default_str();
  app.add_option("--scale", args->scale, "pixels per screen pixel")->check(CLI::Range(1, 4))
      ->capture_default_str();
  return [args, &global]() { return Run(*args, global); };
}

}  // namespace tilvara_app
