#include <cstdio>
#include <memory>

#include "app_error.h"
#include "commands.h"
#include "host_session.h"
#include "imtl.h"
#include "map_setup.h"
#include "render/ref_holder.h"
#include "render/sample.h"

namespace tilvara_app {
namespace {

struct SampleArgs {
  std::vector<std::string> subs;
  std::vector<std::string> settings;
  std::string keys;
  std::string ws;
  int mtl = 0;
  bool mtlGiven = false;
  std::string context = "editor";
};

struct SamplePoint {
  std::string key;  // echoed as given: the integer k or the W value
  int mtl = 0;
  long long node = 0;
  float w = 0.0f;
};

std::string Number(double v) {
  char text[32];
  std::snprintf(text, sizeof text, "%.9g", v);
  return text;
}

std::vector<SamplePoint> Points(const SampleArgs& args) {
  if (args.keys.empty() == args.ws.empty())
    throw AppError("sample", "give either --keys A:B or --w LIST");
  std::vector<SamplePoint> points;
  try {
    if (!args.keys.empty()) {
      const KeyRange range = ParseKeyRange(args.keys);
      for (long long k = range.first; k <= range.last; ++k)
        points.push_back({std::to_string(k), static_cast<int>(k), k, static_cast<float>(k)});
    } else {
      for (const std::string& text : SplitList(args.ws)) {
        const float w = static_cast<float>(ParseNumber(text));
        points.push_back({Number(w), 0, 0, w});
      }
    }
  } catch (const ArgumentError& e) {
    throw AppError(args.keys.empty() ? "--w" : "--keys", e.what());
  }
  if (args.mtlGiven)
    for (SamplePoint& p : points) p.mtl = args.mtl;
  return points;
}

int Run(const SampleArgs& args, const GlobalOptions& global) {
  maxhost::RenderMode mode;
  if (args.context == "editor") {
    mode = maxhost::RenderMode::kEditorPreview;
  } else if (args.context == "render") {
    mode = maxhost::RenderMode::kScene;
  } else {
    throw AppError("--context", "'" + args.context + "' is not editor or render");
  }
  const std::vector<SamplePoint> points = Points(args);
  std::vector<SubTextureSpec> specs;
  for (const std::string& text : args.subs) {
    try {
      specs.push_back(ParseSubTexture(text));
    } catch (const ArgumentError& e) {
      throw AppError("--sub", e.what());
    }
  }

  HostSession session(PluginFolder(global));
  maxhost::RefHolder holder;
  Texmap* map = holder.Hold(session.NewTilvaraMap());
  std::vector<Texmap*> subs;
  for (const SubTextureSpec& texture : specs) subs.push_back(NewSubTexture(texture));
  AppendSubTextures(map, subs);
  ApplySettings(map, args.settings);

  for (const SamplePoint& p : points) {
    maxhost::SampleRequest request;
    request.mtlNum = p.mtl;
    request.nodeHandle = p.node;
    request.tileW = p.w;
    request.mode = mode;
    const maxhost::SampleResult r = maxhost::SampleTexmap(map, request);
    std::printf("{\"key\": %s, \"color\": [%s, %s, %s, %s], \"mono\": %s, \"bump\": [%s, %s, %s]}\n",
                p.key.c_str(), Number(r.color.r).c_str(), Number(r.color.g).c_str(),
                Number(r.color.b).c_str(), Number(r.color.a).c_str(), Number(r.mono).c_str(),
                Number(r.bump.x).c_str(), Number(r.bump.y).c_str(), Number(r.bump.z).c_str());
  }
  return 0;
}

}  // namespace

Runner AddSampleCommand(CLI::App& app, const GlobalOptions& global) {
  auto args = std::make_shared<SampleArgs>();
  app.add_option("--sub", args->subs,
                 "a sub-texture, in order: solid:R,G,B[,A], bitmap:FILE, checker or empty; repeatable");
  app.add_option("--set", args->settings,
                 "set a map parameter by its script name, NAME=VALUE (lists comma-separated); "
                 "repeatable");
  app.add_option("--keys", args->keys,
                 "A:B: one sample per integer k from A to B, with material ID k, node handle k and "
                 "W k");
  app.add_option("--w", args->ws, "comma-separated W values of map channel 99, one sample each "
                                  "(material ID 0, node handle 0)");
  app.add_option("--mtl", args->mtl, "material ID of every sample")->each([args](const std::string&) {
    args->mtlGiven = true;
  });
  app.add_option("--context", args->context,
                 "editor (a material-editor render) or render (inside a scene render)")
      ->capture_default_str();
  return [args, &global]() { return Run(*args, global); };
}

}  // namespace tilvara_app
