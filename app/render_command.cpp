#include <cstdio>
#include <filesystem>
#include <memory>
#include <thread>

#include "app_error.h"
#include "commands.h"
#include "core/class_directory.h"
#include "demo_textures.h"
#include "host_session.h"
#include "imtl.h"
#include "iparamb2.h"
#include "map_setup.h"
#include "render/material.h"
#include "render/ref_holder.h"
#include "render/renderer.h"
#include "render/tile_map.h"

namespace tilvara_app {
namespace {

struct RenderArgs {
  std::vector<std::string> settings;
  std::vector<std::string> textures;
  std::string scene = "floor";
  std::string size = "512x512";
  int threads = 0;
  std::string output = "tilvara-demo.png";
};

// The demo's look: each key visibly varies in brightness, hue and saturation.
const char* const kDemoLook[] = {"rnd_gamma=0.25", "rnd_hue=6", "rnd_sat=25"};

Texmap* NewPlankTiles(Texmap* inner) {
  ClassDesc* cd = maxhost::FindClassDescByInternalName(L"PlankTiles");
  if (!cd) throw AppError("render", "the host has no plank tile map");
  auto* tiles = static_cast<Texmap*>(cd->Create(FALSE));
  IParamBlock2* block = tiles->GetParamBlock(0);
  block->SetValue(maxhost::kTileSubMap, 0, inner);
  block->SetValue(maxhost::kTileRowHeight, 0, 0.1f);
  block->SetValue(maxhost::kTileGroutColor, 0, Color(0.12f, 0.09f, 0.07f));
  return tiles;
}

int Run(const RenderArgs& args, const GlobalOptions& global) {
  const ImageSize size = [&] {
    try {
      return ParseSize(args.size);
    } catch (const ArgumentError& e) {
      throw AppError("--size", e.what());
    }
  }();
  maxhost::SceneLayout layout;
  int rndBy;
  if (args.scene == "floor") {
    layout = maxhost::SceneLayout::kFloor, rndBy = 2;
  } else if (args.scene == "faces") {
    layout = maxhost::SceneLayout::kFaces, rndBy = 0;
  } else if (args.scene == "objects") {
    layout = maxhost::SceneLayout::kObjects, rndBy = 1;
  } else {
    throw AppError("--scene", "'" + args.scene + "' is not floor, faces or objects");
  }

  HostSession session(PluginFolder(global));
  maxhost::RefHolder holder;
  Texmap* map = holder.Hold(session.NewTilvaraMap());

  std::vector<Texmap*> subs;
  if (args.textures.empty()) {
    for (auto& image : MakeWoodTextures()) subs.push_back(NewBitmapFromImage(std::move(image)));
  } else {
    for (const std::string& file : args.textures) subs.push_back(NewBitmapFromFile(file));
  }
  AppendSubTextures(map, subs);

  std::vector<std::string> settings(std::begin(kDemoLook), std::end(kDemoLook));
  settings.push_back("rnd_by=" + std::to_string(rndBy));
  settings.insert(settings.end(), args.settings.begin(), args.settings.end());
  ApplySettings(map, settings);

  auto* material =
      static_cast<maxhost::StandardMaterial*>(maxhost::GetStandardMaterialDesc()->Create(FALSE));
  holder.Hold(material);
  std::unique_ptr<maxhost::Scene> scene;
  switch (layout) {
    case maxhost::SceneLayout::kFloor:
      material->SetDiffuseMap(NewPlankTiles(map));
      scene = maxhost::MakeFloorScene(material, 5.0f);
      break;
    case maxhost::SceneLayout::kFaces:
      material->SetDiffuseMap(map);
      scene = maxhost::MakeFacesScene(material, 8, 8, 1);
      break;
    case maxhost::SceneLayout::kObjects:
      material->SetDiffuseMap(map);
      scene = maxhost::MakeObjectsScene({material}, 8, 8, 1);
      break;
  }

  maxhost::RenderOptions options;
  options.width = size.width;
  options.height = size.height;
  options.threads = args.threads > 0 ? args.threads : static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  const maxhost::RenderResult result = maxhost::Render(*scene, options);
  if (!result.ok) throw AppError("render", result.error);
  std::string why;
  if (!maxhost::WritePng(args.output, result.image, why)) throw AppError(args.output, why);
  std::error_code ec;
  const std::string where = std::filesystem::absolute(args.output, ec).string();
  std::printf("tilvara: wrote %s (%dx%d, %s scene, %d thread%s)\n", ec ? args.output.c_str() : where.c_str(), size.width,
              size.height, args.scene.c_str(), options.threads, options.threads == 1 ? "" : "s");
  return 0;
}

}  // namespace

Runner AddRenderCommand(CLI::App& app, const GlobalOptions& global) {
  auto args = std::make_shared<RenderArgs>();
  app.add_option("--set", args->settings,
                 "set a map parameter by its script name, NAME=VALUE (lists comma-separated, angles "
                 "in degrees); repeatable");
  app.add_option("--texture", args->textures,
                 "a sub-texture from an image file (PNG, JPEG, BMP, TGA, HDR); repeatable; default: "
                 "four generated woods");
  app.add_option("--scene", args->scene,
                 "floor (planks keyed by tile), faces (keyed by material ID) or objects (keyed by node)")
      ->capture_default_str();
  app.add_option("--size", args->size, "image size WxH")->capture_default_str();
  app.add_option("--threads", args->threads, "render threads (default: one per core)")
      ->check(CLI::Range(1, 256));
  app.add_option("-o,--output", args->output, "PNG file to write")->capture_default_str();
  return [args, &global]() { return Run(*args, global); };
}

}  // namespace tilvara_app
