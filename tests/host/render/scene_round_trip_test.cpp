#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "render/bitmap_texture.h"
#include "render/material.h"
#include "render/renderer.h"
#include "render/tile_map.h"
#include "scene/scene_file.h"

namespace maxhost {
namespace {

// Scene files keep the render library's objects: a material holding a tile map holding a bitmap
// texture comes back with its file, filtering, blur and angle, and renders the same image.
TEST(SceneRoundTrip, MaterialWithTilesAndBitmapRendersTheSameAfterLoading) {
  const auto dir =
      std::filesystem::temp_directory_path() / ("tilvara_scene_rt_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  Image img(8, 8);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) img.At(x, y) = {x / 7.0f, y / 7.0f, 0.5f, 1.0f};
  std::string error;
  const std::string file = (dir / "wood.png").string();
  ASSERT_TRUE(WritePng(file, img, error)) << error;

  RefHolder holder;
  auto* mtl = holder.Hold(new StandardMaterial);
  auto* tiles = new TileMap;
  auto* tex = new BitmapTexture;
  tex->SetMapName((dir / "wood.png").wstring().c_str());
  tex->SetFilterType(FILTER_SAT);
  tex->GetUVGen()->SetBlur(2.0f, 0);
  tex->GetUVGen()->SetWAng(0.5f, 0);
  tiles->SetSubTexmap(0, tex);
  mtl->SetDiffuseMap(tiles);

  std::vector<unsigned char> bytes;
  const SaveResult saved = SaveSceneToBytes({mtl}, bytes);
  ASSERT_TRUE(saved.ok) << saved.error;
  const LoadResult loaded = LoadSceneFromBytes(bytes.data(), bytes.size());
  ASSERT_TRUE(loaded.ok) << loaded.error;
  ASSERT_EQ(loaded.roots.size(), 1u);
  auto* mtl2 = dynamic_cast<StandardMaterial*>(holder.Hold(loaded.roots[0]));
  ASSERT_NE(mtl2, nullptr);
  ASSERT_NE(mtl2, mtl);
  Texmap* tiles2 = mtl2->GetSubTexmap(0);
  ASSERT_NE(tiles2, nullptr);
  auto* tex2 = dynamic_cast<BitmapTexture*>(tiles2->GetSubTexmap(0));
  ASSERT_NE(tex2, nullptr);
  EXPECT_STREQ(tex2->GetMapName(), tex->GetMapName());
  EXPECT_EQ(tex2->GetFilterType(), FILTER_SAT);
  ASSERT_NE(tex2->GetUVGen(), nullptr);
  EXPECT_FLOAT_EQ(tex2->GetUVGen()->GetBlur(0), 2.0f);
  EXPECT_FLOAT_EQ(tex2->GetUVGen()->GetWAng(0), 0.5f);

  RenderOptions opt;
  opt.width = 48;
  opt.height = 32;
  opt.threads = 2;
  auto a = MakeFloorScene(mtl, 2.0f);
  auto b = MakeFloorScene(mtl2, 2.0f);
  const RenderResult ra = Render(*a, opt), rb = Render(*b, opt);
  ASSERT_TRUE(ra.ok && rb.ok);
  EXPECT_TRUE(ra.image.pixels == rb.image.pixels);
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace maxhost
