#include "render/shade_context.h"

#include <gtest/gtest.h>

#include "probe_map.h"
#include "render/ref_holder.h"
#include "render/sample_cache.h"
#include "render/scene_node.h"

namespace maxhost {
namespace {

using testing::ProbeMap;

TEST(SampleCache, KeepsOneValuePerKeyAndEvictsTheOldestWhenFull) {
  SampleCache<int, 3> cache;
  int a = 0, b = 0, c = 0, d = 0, v = 0;
  cache.Put(&a, 1);
  cache.Put(&b, 2);
  cache.Put(&a, 3);  // replaces
  EXPECT_EQ(cache.Size(), 2);
  ASSERT_TRUE(cache.Get(&a, v));
  EXPECT_EQ(v, 3);
  cache.Put(&c, 4);
  cache.Put(&d, 5);  // full: the first slot gives way
  EXPECT_FALSE(cache.Get(&a, v));
  ASSERT_TRUE(cache.Get(&d, v));
  EXPECT_EQ(v, 5);
  cache.Toss(&c);
  EXPECT_FALSE(cache.Get(&c, v));
  EXPECT_TRUE(cache.Get(&b, v));
  cache.Clear();
  EXPECT_FALSE(cache.Get(&b, v));
}

TEST(RenderShadeContext, CachesAreKeyedByMapAndKindAndResetPerSample) {
  RefHolder holder;
  auto* m1 = holder.Hold(new ProbeMap);
  auto* m2 = holder.Hold(new ProbeMap);
  RenderShadeContext sc;
  sc.BeginSample(0, nullptr, Point3(0, 0, 0), Point3(0, 0, 0));
  AColor c;
  float f = 0;
  Point3 p;
  EXPECT_FALSE(sc.GetCache(m1, c));
  sc.PutCache(m1, AColor(1, 2, 3, 4));
  sc.PutCache(m1, 0.5f);
  sc.PutCache(m2, Point3(7, 8, 9));
  ASSERT_TRUE(sc.GetCache(m1, c));
  EXPECT_EQ(c, AColor(1, 2, 3, 4));
  ASSERT_TRUE(sc.GetCache(m1, f));
  EXPECT_EQ(f, 0.5f);
  EXPECT_FALSE(sc.GetCache(m2, c));  // other map
  EXPECT_FALSE(sc.GetCache(m1, p));  // other kind
  ASSERT_TRUE(sc.GetCache(m2, p));
  EXPECT_EQ(p, Point3(7, 8, 9));
  sc.TossCache(m1);
  EXPECT_FALSE(sc.GetCache(m1, c));
  EXPECT_FALSE(sc.GetCache(m1, f));
  EXPECT_TRUE(sc.GetCache(m2, p));
  sc.BeginSample(0, nullptr, Point3(0, 0, 0), Point3(0, 0, 0));
  EXPECT_FALSE(sc.GetCache(m2, p));
}

TEST(RenderShadeContext, ChannelsReadTheSampleUnlessSetOnTheirOwn) {
  RenderShadeContext sc;
  sc.BeginSample(3, nullptr, Point3(0.25f, 0.75f, 0.0f), Point3(0.01f, 0.02f, 0.0f));
  EXPECT_EQ(sc.mtlNum, 3);
  EXPECT_EQ(sc.UVW(1), Point3(0.25f, 0.75f, 0.0f));
  EXPECT_EQ(sc.UVW(99), Point3(0.25f, 0.75f, 0.0f));
  EXPECT_EQ(sc.DUVW(2), Point3(0.01f, 0.02f, 0.0f));
  sc.SetChannel(99, Point3(0.1f, 0.2f, 42.0f), Point3(0, 0, 0));
  EXPECT_EQ(sc.UVW(99), Point3(0.1f, 0.2f, 42.0f));
  EXPECT_EQ(sc.UVW(1), Point3(0.25f, 0.75f, 0.0f));
  EXPECT_EQ(sc.UVW(100), Point3(0, 0, 0));
  EXPECT_EQ(sc.UVW(-1), Point3(0, 0, 0));
  // A new sample drops the override.
  sc.BeginSample(0, nullptr, Point3(0.5f, 0.5f, 0.0f), Point3(0, 0, 0));
  EXPECT_EQ(sc.UVW(99), Point3(0.5f, 0.5f, 0.0f));
}

TEST(RenderShadeContext, NodeIdIsTheHandleAndTimeAndEditorFlagHold) {
  RefHolder holder;
  auto* node = holder.Hold(new SceneNode(17, L"Box"));
  RenderShadeContext sc;
  sc.SetTime(320);
  sc.SetInMtlEditor(true);
  sc.BeginSample(0, nullptr, Point3(0, 0, 0), Point3(0, 0, 0));
  EXPECT_EQ(sc.Node(), nullptr);
  EXPECT_EQ(sc.NodeID(), -1);
  sc.BeginSample(0, node, Point3(0, 0, 0), Point3(0, 0, 0));
  EXPECT_EQ(sc.Node(), node);
  EXPECT_EQ(sc.NodeID(), 17);
  EXPECT_EQ(sc.CurTime(), 320);
  EXPECT_TRUE(sc.InMtlEditor());
}

TEST(RenderShadeContext, GBufferIdIsKeptForTheSample) {
  RenderShadeContext sc;
  sc.BeginSample(0, nullptr, Point3(0, 0, 0), Point3(0, 0, 0));
  EXPECT_EQ(sc.GBufferID(), 0);
  sc.SetGBufferID(9);
  EXPECT_EQ(sc.GBufferID(), 9);
  EXPECT_EQ(sc.out.gbufId, 9);
  sc.BeginSample(0, nullptr, Point3(0, 0, 0), Point3(0, 0, 0));
  EXPECT_EQ(sc.GBufferID(), 0);
}

}  // namespace
}  // namespace maxhost
