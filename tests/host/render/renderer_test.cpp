#include "render/renderer.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <thread>

#include "probe_map.h"
#include "render/bitmap_texture.h"
#include "render/material.h"
#include "render/sample.h"
#include "render/std_maps.h"
#include "render/tile_map.h"

namespace maxhost {
namespace {

using testing::ProbeMap;

// A floor of planks, each plank a bitmap turned and tinted per tile id (through a probe-free
// chain of host maps), so that the image depends on everything the renderer hands down.
struct PlankFloor {
  RefHolder holder;
  StandardMaterial* mtl = nullptr;
  TileMap* tiles = nullptr;

  PlankFloor() {
    mtl = holder.Hold(new StandardMaterial);
    tiles = new TileMap;
    Image img(16, 16);
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x)
        img.At(x, y) = {float(x) / 15.0f, float(y) / 15.0f, float((x * 7 + y * 3) % 5) / 4.0f, 1};
    BitmapTexture* tex = NewBitmapTextureFromImage(std::move(img));
    tex->GetUVGen()->SetWAng(0.3f, 0);
    tiles->SetSubTexmap(0, tex);
    tiles->GetParamBlock(0)->SetValue(kTileRowHeight, 0, 0.37f);
    mtl->SetDiffuseMap(tiles);
  }
};

TEST(Renderer, ImageIsBitIdenticalForAnyThreadCountAndBucketOrder) {
  PlankFloor floor;
  auto scene = MakeFloorScene(floor.mtl, 3.0f);
  RenderOptions opt;
  opt.width = 97;  // not a multiple of the bucket size
  opt.height = 61;
  opt.bucketSize = 16;
  opt.threads = 1;
  const RenderResult ref = Render(*scene, opt);
  ASSERT_TRUE(ref.ok) << ref.error;
  for (int threads : {2, 3, 8}) {
    for (BucketOrder order : {BucketOrder::kRows, BucketOrder::kReverse, BucketOrder::kShuffled}) {
      opt.threads = threads;
      opt.order = order;
      opt.orderSeed = unsigned(threads * 31);
      const RenderResult r = Render(*scene, opt);
      ASSERT_TRUE(r.ok) << r.error;
      ASSERT_EQ(r.image.pixels.size(), ref.image.pixels.size());
      EXPECT_TRUE(r.image.pixels == ref.image.pixels) << threads << " threads";
    }
  }
  // Something was drawn: not a flat image.
  EXPECT_NE(ref.image.At(3, 3), ref.image.At(60, 40));
}

TEST(Renderer, MapsHearBeginUpdateAndEndOnTheCallingThread) {
  RefHolder holder;
  auto* mtl = holder.Hold(new StandardMaterial);
  auto* probe = holder.Hold(new ProbeMap);
  mtl->SetDiffuseMap(probe);
  auto scene = MakeFloorScene(mtl);
  RenderOptions opt;
  opt.width = opt.height = 40;
  opt.threads = 4;
  opt.time = 160;
  ASSERT_TRUE(Render(*scene, opt).ok);
  ASSERT_EQ(probe->beginFlags.size(), 1u);
  EXPECT_EQ(probe->beginFlags[0], 0u);
  EXPECT_EQ(probe->endCount, 1);
  EXPECT_GE(probe->updateCount, 1);
  EXPECT_EQ(probe->updateThread, std::this_thread::get_id());
  EXPECT_EQ(probe->evalCount, 40 * 40);

  opt.mode = RenderMode::kEditorPreview;
  ASSERT_TRUE(Render(*scene, opt).ok);
  ASSERT_EQ(probe->beginFlags.size(), 2u);
  EXPECT_EQ(probe->beginFlags[1], ULONG(RENDERBEGIN_IN_MEDIT));
  EXPECT_EQ(probe->endCount, 2);
}

TEST(Renderer, FacesCarryMaterialIdsAndObjectsTheirHandles) {
  RefHolder holder;
  auto* mtl = holder.Hold(new StandardMaterial);
  auto* probe = holder.Hold(new ProbeMap);
  probe->source = ProbeMap::Source::kMtlNum;
  mtl->SetDiffuseMap(probe);
  auto faces = MakeFacesScene(mtl, 4, 2, 1);
  RenderOptions opt;
  opt.width = 40;
  opt.height = 20;
  opt.threads = 2;
  RenderResult r = Render(*faces, opt);
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_FLOAT_EQ(r.image.At(5, 5).r, 0.01f);    // face 0, material ID 1
  EXPECT_FLOAT_EQ(r.image.At(35, 5).r, 0.04f);   // face 3
  EXPECT_FLOAT_EQ(r.image.At(15, 15).r, 0.06f);  // face 5 (second row)

  auto* probe2 = holder.Hold(new ProbeMap);
  probe2->source = ProbeMap::Source::kNodeId;
  auto* mtl2 = holder.Hold(new StandardMaterial);
  mtl2->SetDiffuseMap(probe2);
  auto objects = MakeObjectsScene({mtl2}, 3, 3, 10);
  ASSERT_EQ(objects->Nodes().size(), 9u);
  opt.width = opt.height = 30;
  r = Render(*objects, opt);
  ASSERT_TRUE(r.ok) << r.error;
  EXPECT_FLOAT_EQ(r.image.At(5, 5).g, 0.10f);
  EXPECT_FLOAT_EQ(r.image.At(25, 25).g, 0.18f);
}

TEST(Renderer, FloorCoordinatesRunAcrossTheImageWithVUp) {
  RefHolder holder;
  auto* mtl = holder.Hold(new StandardMaterial);
  auto* probe = holder.Hold(new ProbeMap);
  probe->source = ProbeMap::Source::kUV;
  mtl->SetDiffuseMap(probe);
  auto scene = MakeFloorScene(mtl, 2.0f);
  RenderOptions opt;
  opt.width = 20;
  opt.height = 10;
  const RenderResult r = Render(*scene, opt);
  ASSERT_TRUE(r.ok);
  EXPECT_FLOAT_EQ(r.image.At(0, 9).r, 0.05f);
  EXPECT_FLOAT_EQ(r.image.At(0, 9).g, 0.05f);
  EXPECT_FLOAT_EQ(r.image.At(19, 0).r, 1.95f);
  EXPECT_FLOAT_EQ(r.image.At(19, 0).g, 0.95f);
}

TEST(Renderer, BadOptionsAndShadingFailuresGiveErrorsNotCrashes) {
  RefHolder holder;
  auto* mtl = holder.Hold(new StandardMaterial);
  auto* probe = holder.Hold(new ProbeMap);
  mtl->SetDiffuseMap(probe);
  auto scene = MakeFloorScene(mtl);
  RenderOptions opt;
  opt.width = 0;
  RenderResult r = Render(*scene, opt);
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.error.find("Render: "), std::string::npos);
  opt.width = 8;
  opt.bucketSize = 0;
  EXPECT_FALSE(Render(*scene, opt).ok);
  opt.bucketSize = 4;
  opt.threads = 3;
  probe->throwOnEval = true;
  r = Render(*scene, opt);
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.error.find("probe failure"), std::string::npos);
  EXPECT_EQ(probe->endCount, int(probe->beginFlags.size()));
}

TEST(Renderer, NodesWithoutMaterialAreBlackAndImagesWriteAsPng) {
  auto scene = MakeObjectsScene({}, 2, 1);
  RenderOptions opt;
  opt.width = 8;
  opt.height = 4;
  const RenderResult r = Render(*scene, opt);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.image.At(1, 1), (Rgba{0, 0, 0, 1}));
  const auto path = std::filesystem::temp_directory_path() /
                    ("tilvara_render_" + std::to_string(::getpid()) + ".png");
  std::string error;
  ASSERT_TRUE(WritePng(path.string(), r.image, error)) << error;
  Image back;
  ASSERT_TRUE(LoadImageFile(path.string(), back, error)) << error;
  EXPECT_EQ(back.width, 8);
  std::filesystem::remove(path);
}

TEST(Sample, EvaluatesWithTheRequestedKeyInputs) {
  RefHolder holder;
  auto* probe = holder.Hold(new ProbeMap);
  probe->gbuffer = 5;
  SampleRequest req;
  req.mtlNum = 4;
  probe->source = ProbeMap::Source::kMtlNum;
  SampleResult s = SampleTexmap(probe, req);
  EXPECT_FLOAT_EQ(s.color.r, 0.04f);
  EXPECT_FLOAT_EQ(s.mono, (0.04f + 0.0f + 0.0f) / 3.0f);
  EXPECT_EQ(s.bump, Point3(0.1f, 0.2f, 0.3f));
  EXPECT_EQ(s.gbufferId, 5);
  probe->source = ProbeMap::Source::kNodeId;
  req.nodeHandle = 23;
  EXPECT_FLOAT_EQ(SampleTexmap(probe, req).color.g, 0.23f);
  probe->source = ProbeMap::Source::kChannel99W;
  req.tileW = 3.7f;
  EXPECT_FLOAT_EQ(SampleTexmap(probe, req).color.b, 3.7f / 10000.0f);
  ASSERT_EQ(probe->beginFlags.size(), 3u);
  EXPECT_EQ(probe->beginFlags[2], 0u);
  req.mode = RenderMode::kEditorPreview;
  SampleTexmap(probe, req);
  EXPECT_EQ(probe->beginFlags.back(), ULONG(RENDERBEGIN_IN_MEDIT));
  EXPECT_EQ(probe->endCount, 4);
}

TEST(StdMaps, ConstantAndCheckerColours) {
  RefHolder holder;
  auto* constant = holder.Hold(new ConstantColorMap);
  constant->SetColor(Color(0.3f, 0.6f, 0.9f));
  SampleRequest req;
  EXPECT_EQ(SampleTexmap(constant, req).color, AColor(0.3f, 0.6f, 0.9f, 1.0f));
  auto* checker = holder.Hold(new CheckerMap);
  req.uvw = Point3(0.25f, 0.25f, 0.0f);  // square (0, 0): colour 1
  EXPECT_EQ(SampleTexmap(checker, req).color, AColor(0.0f, 0.0f, 0.0f, 1.0f));
  req.uvw = Point3(0.75f, 0.25f, 0.0f);
  EXPECT_EQ(SampleTexmap(checker, req).color, AColor(1.0f, 1.0f, 1.0f, 1.0f));
  req.uvw = Point3(-0.25f, 0.25f, 0.0f);  // square (-1, 0)
  EXPECT_EQ(SampleTexmap(checker, req).color, AColor(1.0f, 1.0f, 1.0f, 1.0f));
}

}  // namespace
}  // namespace maxhost
