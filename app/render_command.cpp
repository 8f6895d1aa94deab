#include <cstdio>
#include <filesystem>
#include <memory>
#include <thread>

#include "app_error.h"
#include "base/files.h"
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
#include "scene/scene_file.h"

namespace tilvara_app {
namespace {

struct RenderArgs {
  std::vector<std::string> settings;
  std::vector<std::string> textures;
  std::string scene = "floor";
  std::string size = "512x512";
  int threads = 0;
  std::string output = "tilvara-demo.png";
  std::string library;      // render this saved library's first map instead
  std::string saveLibrary;  // save the rendered map as a library
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

// The scenes and what the map is keyed by in each (the rnd_by choice).
struct SceneChoice {
  const char* name;
  maxhost::SceneLayout layout;
  int rndBy;
};
constexpr SceneChoice kScenes[] = {
    {"floor", maxhost::SceneLayout::kFloor, 2},
    {"faces", maxhost::SceneLayout::kFaces, 0},
    {"objects", maxhost::SceneLayout::kObjects, 1},
};

const SceneChoice& ParseScene(const std::string& scene) {
  for (const SceneChoice& choice : kScenes)
    if (scene == choice.name) return choice;
  throw AppError("--scene", "'" + scene + "' is not floor, faces or objects");
}

// The first map of a saved material library. The library's objects stay with holder.
Texmap* LoadLibraryMap(const std::string& path, maxhost::RefHolder& holder) {
  const std::string what = "--library " + path;
  const maxhost::Status readable = maxhost::CheckRegularFile("LoadScene", path);
  if (!readable) throw AppError(what, readable.error);
  maxhost::LoadResult loaded = maxhost::LoadScene(path);
  if (!loaded.ok) throw AppError(what, loaded.error);
  Texmap* first = nullptr;
  for (ReferenceTarget* root : loaded.roots) {
    holder.Hold(root);
    if (!first && root && root->SuperClassID() == TEXMAP_CLASS_ID)
      first = static_cast<Texmap*>(root);
  }
  if (!first) throw AppError(what, "the library holds no map");
  return first;
}

// The map to render: a fresh Tilvara map with the demo look (and the demo woods unless
// textures are given), or the library's first map as saved. --set applies on top of both.
Texmap* BuildMap(const RenderArgs& args, int rndBy, const HostSession& session,
                 maxhost::RefHolder& holder) {
  std::vector<std::string> settings;
  Texmap* map = nullptr;
  if (!args.library.empty()) {
    map = LoadLibraryMap(args.library, holder);
  } else {
    map = holder.Hold(session.NewTilvaraMap());
    settings.assign(std::begin(kDemoLook), std::end(kDemoLook));
    settings.push_back("rnd_by=" + std::to_string(rndBy));
  }
  std::vector<Texmap*> subs;
  if (!args.textures.empty()) {
    for (const std::string& file : args.textures) subs.push_back(NewBitmapFromFile(file));
  } else if (args.library.empty()) {
    for (auto& image : MakeWoodTextures()) subs.push_back(NewBitmapFromImage(std::move(image)));
  }
  if (!subs.empty()) AppendSubTextures(map, subs);
  settings.insert(settings.end(), args.settings.begin(), args.settings.end());
  ApplySettings(map, settings);
  if (!args.saveLibrary.empty()) {
    const maxhost::SaveResult saved = maxhost::SaveScene(args.saveLibrary, {map});
    if (!saved.ok) throw AppError("--save-library " + args.saveLibrary, saved.error);
    // Bitmaps are saved by file name; the generated woods have none.
    if (args.textures.empty() && args.library.empty())
      std::fprintf(stderr,
                   "tilvara: warning: --save-library %s: the generated demo textures are not "
                   "files and are not kept; give sub-textures with --texture\n",
                   args.saveLibrary.c_str());
  }
  return map;
}

std::unique_ptr<maxhost::Scene> BuildScene(maxhost::SceneLayout layout, Texmap* map,
                                           maxhost::RefHolder& holder) {
  auto* material =
      static_cast<maxhost::StandardMaterial*>(maxhost::GetStandardMaterialDesc()->Create(FALSE));
  holder.Hold(material);
  switch (layout) {
    case maxhost::SceneLayout::kFloor:
      material->SetDiffuseMap(NewPlankTiles(map));
      return maxhost::MakeFloorScene(material, 5.0f);
    case maxhost::SceneLayout::kFaces:
      material->SetDiffuseMap(map);
      return maxhost::MakeFacesScene(material, 8, 8, 1);
    case maxhost::SceneLayout::kObjects:
      material->SetDiffuseMap(map);
      return maxhost::MakeObjectsScene({material}, 8, 8, 1);
  }
  throw AppError("--scene", "unknown layout");
}

int Run(const RenderArgs& args, const GlobalOptions& global) {
  const ImageSize size = [&] {
    try {
      return ParseSize(args.size);
    } catch (const ArgumentError& e) {
      throw AppError("--size", e.what());
    }
  }();
  const SceneChoice& choice = ParseScene(args.scene);

  HostSession session(PluginFolder(global));
  maxhost::RefHolder holder;
  Texmap* map = BuildMap(args, choice.rndBy, session, holder);
  const std::unique_ptr<maxhost::Scene> scene = BuildScene(choice.layout, map, holder);

  maxhost::RenderOptions options;
  options.width = size.width;
  options.height = size.height;
  options.threads = args.threads > 0
                        ? args.threads
                        : static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  const maxhost::RenderResult result = maxhost::Render(*scene, options);
  if (!result.ok) throw AppError("render", result.error);
  std::string why;
  if (!maxhost::WritePng(args.output, result.image, why)) throw AppError(args.output, why);
  std::error_code ec;
  const std::string where =
      maxhost::Utf8FromPath(std::filesystem::absolute(maxhost::PathFromUtf8(args.output), ec));
  std::printf("tilvara: wrote %s (%dx%d, %s scene, %d thread%s)\n",
              ec ? args.output.c_str() : where.c_str(), size.width, size.height, args.scene.c_str(),
              options.threads, options.threads == 1 ? "" : "s");
  return 0;
}

}  // namespace

Runner AddRenderCommand(CLI::App& app, const GlobalOptions& global) {
  auto args = std::make_shared<RenderArgs>();
  app.add_option(
      "--set", args->settings,
      "set a map parameter by its script name, NAME=VALUE (lists comma-separated, angles "
      "in degrees); repeatable");
  app.add_option(
      "--texture", args->textures,
      "a sub-texture from an image file (PNG, JPEG, BMP, TGA, HDR); repeatable; default: "
      "four generated woods");
  app.add_option(
         "--scene", args->scene,
         "floor (planks keyed by tile), faces (keyed by material ID) or objects (keyed by node)")
      ->capture_default_str();
  app.add_option("--size", args->size, "image size WxH")->capture_default_str();
  app.add_option("--threads", args->threads, "render threads (default: one per core)")
      ->check(CLI::Range(1, 256));
  app.add_option("--library", args->library,
                 "render the first map of a saved material library (a scene file) instead of a new "
                 "Tilvara map; --set and --texture apply on top");
  app.add_option("--save-library", args->saveLibrary,
                 "also save the rendered map, with its settings, as a material library");
  app.add_option("-o,--output", args->output, "PNG file to write")->capture_default_str();
  return [args, &global]() { return Run(*args, global); };
}

}  // namespace tilvara_app
