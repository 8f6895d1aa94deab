// The map as the host runs it: loaded from Tilvara.dlt, evaluated through the SDK entry
// points over a 1024 x 1024 bitmap whose samples walk the image with a one-texel footprint.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <string>

#include <unistd.h>

#include "core/class_directory.h"
#include "demo_textures.h"
#include "imtl.h"
#include "iparamb2.h"
#include "loader/plugin_loader.h"
#include "render/bitmap_texture.h"
#include "render/material.h"
#include "render/ref_holder.h"
#include "render/register.h"
#include "render/renderer.h"
#include "render/shade_context.h"
#include "render/tile_map.h"

namespace {

constexpr int kImageSize = 1024;

// One host for the whole run: the plug-in stays loaded, objects stay alive.
struct BenchHost {
  maxhost::PluginLoader loader;
  maxhost::RefHolder holder;
  std::string imagePath;

  BenchHost() {
    maxhost::RegisterRenderClasses();
    loader.LoadFolder(TILVARA_PLUGIN_DIR);
    // A file, so that every bitmap texture over it shares one decoded image and pyramid.
    maxhost::Image image(kImageSize, kImageSize);
    for (int y = 0; y < kImageSize; ++y)
      for (int x = 0; x < kImageSize; ++x)
        image.At(x, y) = {0.5f + 0.5f * std::sin(x * 0.05f), 0.5f + 0.5f * std::cos(y * 0.07f),
                          float((x ^ y) & 255) / 255.0f, 1.0f};
    imagePath = "/tmp/tilvara-bench-" + std::to_string(::getpid()) + ".png";
    std::string why;
    maxhost::WritePng(imagePath, image, why);
  }
  ~BenchHost() { std::remove(imagePath.c_str()); }

  Texmap* Bitmap() {
    auto* bm = static_cast<maxhost::BitmapTexture*>(maxhost::GetBitmapTextureDesc()->Create(FALSE));
    bm->SetMapName(std::wstring(imagePath.begin(), imagePath.end()).c_str());
    return holder.Hold(bm);
  }

  Texmap* Map(int subs, bool adjusted) {
    ClassDesc* cd = maxhost::FindClassDescByInternalName(L"Tilvara");
    auto* map = holder.Hold(static_cast<Texmap*>(cd->Create(FALSE)));
    IParamBlock2* pb = map->GetParamBlock(0);
    for (int i = 0; i < subs; ++i) {
      Texmap* bm = Bitmap();
      pb->Append(0, 1, &bm);
    }
    if (adjusted) {
      pb->SetValue(1, 0, 1.2f);   // all_gamma
      pb->SetValue(2, 0, 20.0f);  // all_hue
      pb->SetValue(3, 0, 90.0f);  // all_sat
      pb->SetValue(4, 0, 0.3f);   // rnd_gamma
      pb->SetValue(5, 0, 25.0f);  // rnd_hue
      pb->SetValue(6, 0, 15.0f);  // rnd_sat
      pb->SetValue(7, 0, 30.0f);  // occ_gamma
    }
    return map;
  }
};

BenchHost& Host() {
  static BenchHost host;
  return host;
}

// Samples walk the image row by row, one texel apart, keyed by face.
void Evaluate(benchmark::State& state, Texmap* map) {
  Interval valid = FOREVER;
  map->Update(0, valid);
  maxhost::RenderShadeContext sc;
  const float texel = 1.0f / kImageSize;
  int i = 0;
  for (auto _ : state) {
    const int x = i & (kImageSize - 1), y = (i >> 10) & (kImageSize - 1);
    sc.BeginSample(i >> 6 & 255, nullptr, Point3((x + 0.5f) * texel, (y + 0.5f) * texel, 0.0f),
                   Point3(texel, texel, 0.0f));
    benchmark::DoNotOptimize(map->EvalColor(sc));
    ++i;
  }
  state.SetItemsProcessed(state.iterations());
}

void BM_EvalColor_BitmapDirect(benchmark::State& state) { Evaluate(state, Host().Bitmap()); }
void BM_EvalColor_Neutral(benchmark::State& state) { Evaluate(state, Host().Map(1, false)); }
void BM_EvalColor_Adjusted(benchmark::State& state) { Evaluate(state, Host().Map(1, true)); }
void BM_EvalColor_2Subs(benchmark::State& state) { Evaluate(state, Host().Map(2, false)); }
void BM_EvalColor_1000Subs(benchmark::State& state) { Evaluate(state, Host().Map(1000, false)); }
BENCHMARK(BM_EvalColor_BitmapDirect);
BENCHMARK(BM_EvalColor_Neutral);
BENCHMARK(BM_EvalColor_Adjusted);
BENCHMARK(BM_EvalColor_2Subs);
BENCHMARK(BM_EvalColor_1000Subs);

// A full recompute with one weight of 2^31 - 1: bounded by the table's cap.
void BM_Update_HugeWeight(benchmark::State& state) {
  Texmap* map = Host().Map(1, false);
  IParamBlock2* pb = map->GetParamBlock(0);
  Interval valid = FOREVER;
  map->Update(0, valid);
  pb->SetValue(17, 0, 2147483647, 0);  // probability[0]
  int seed = 1;
  for (auto _ : state) {
    pb->SetValue(11, 0, seed = seed % 99999 + 1);  // any change empties the validity
    valid = FOREVER;
    map->Update(0, valid);
  }
}
BENCHMARK(BM_Update_HugeWeight)->Unit(benchmark::kMicrosecond);

void BM_Update_Valid(benchmark::State& state) {
  Texmap* map = Host().Map(4, false);
  Interval valid = FOREVER;
  map->Update(0, valid);
  for (auto _ : state) {
    valid = FOREVER;
    map->Update(0, valid);
    benchmark::DoNotOptimize(valid);
  }
}
BENCHMARK(BM_Update_Valid);

// The demo floor at 512 x 512: planks keyed by tile over four woods.
void RenderFloor(benchmark::State& state, int threads) {
  Texmap* map = Host().Map(0, true);
  std::vector<Texmap*> woods;
  for (auto& image : tilvara_app::MakeWoodTextures()) {
    Texmap* wood = maxhost::NewBitmapTextureFromImage(std::move(image));
    map->GetParamBlock(0)->Append(0, 1, &wood);
  }
  map->GetParamBlock(0)->SetValue(10, 0, 2);  // rnd_by: OstrumTile
  ClassDesc* tilesDesc = maxhost::FindClassDescByInternalName(L"PlankTiles");
  auto* tiles = static_cast<Texmap*>(tilesDesc->Create(FALSE));
  tiles->GetParamBlock(0)->SetValue(maxhost::kTileSubMap, 0, map);
  tiles->GetParamBlock(0)->SetValue(maxhost::kTileRowHeight, 0, 0.1f);
  auto* material = static_cast<maxhost::StandardMaterial*>(maxhost::GetStandardMaterialDesc()->Create(FALSE));
  material->SetDiffuseMap(tiles);
  auto scene = maxhost::MakeFloorScene(material, 5.0f);
  maxhost::RenderOptions options;
  options.width = options.height = 512;
  options.threads = threads;
  for (auto _ : state) {
    const maxhost::RenderResult result = maxhost::Render(*scene, options);
    if (!result.ok) state.SkipWithError(result.error.c_str());
  }
  state.SetItemsProcessed(state.iterations() * 512 * 512);
}
void BM_Render_1Thread(benchmark::State& state) { RenderFloor(state, 1); }
void BM_Render_2Threads(benchmark::State& state) { RenderFloor(state, 2); }
BENCHMARK(BM_Render_1Thread)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Render_2Threads)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
