// Scene files that wire an object of the wrong kind into a reference are refused whole.
#include <gtest/gtest.h>

#include <plugapi.h>

#include "core/class_directory.h"
#include "core/live_targets.h"
#include "scene/scene_file.h"
#include "scene_bytes.h"
#include "test_classes.h"

using namespace coretest;
using scenetest::SavedObject;

namespace {

class HostileSceneTest : public ::testing::Test {
 protected:
  void SetUp() override {
    maxhost::RegisterClassDesc(&TheTestMapDesc());
    auto* map = new TestMap();
    auto* a = new TestMap();
    auto* b = new TestMap();
    Texmap* maps[3] = {a, b, a};
    map->pblock->Append(tp_maps, 3, maps);
    EXPECT_TRUE(maxhost::SaveSceneToBytes({map}, bytes).ok);
    map->DeleteMe();
    objects = scenetest::SavedObjects(bytes);
    liveAtStart = gLiveTargets;
    allAtStart = maxhost::LiveReferenceTargets();
  }
  void TearDown() override { maxhost::UnregisterClassDesc(&TheTestMapDesc()); }

  int IndexOf(uint32_t superClass, int nth) const {
    for (size_t i = 0; i < objects.size(); ++i)
      if (objects[i].superClass == superClass && nth-- == 0) return static_cast<int>(i);
    return -1;
  }
  void ExpectNothingLeft(const maxhost::LoadResult& r) {
    EXPECT_TRUE(r.roots.empty());
    EXPECT_EQ(gLiveTargets, liveAtStart) << r.error;
    EXPECT_EQ(maxhost::LiveReferenceTargets(), allAtStart) << r.error;
  }

  std::vector<unsigned char> bytes;
  std::vector<SavedObject> objects;
  int liveAtStart = 0;
  long allAtStart = 0;
};

TEST_F(HostileSceneTest, BlockReferenceNamingAMapIsRefusedBeforeAnyReferenceIsSet) {
  ASSERT_EQ(objects.size(), 6u);
  const int map = IndexOf(TEXMAP_CLASS_ID, 0), other = IndexOf(TEXMAP_CLASS_ID, 1);
  ASSERT_EQ(map, 0);
  std::vector<unsigned char> bad = bytes;
  scenetest::SetRef(bad, objects[0], 0, other);
  const maxhost::LoadResult r = maxhost::LoadSceneFromBytes(bad.data(), bad.size());
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(
      r.error.rfind("LoadScene: object 0 (TestMap) takes its parameter block at reference 0", 0),
      0u)
      << r.error;
  ExpectNothingLeft(r);
}

TEST_F(HostileSceneTest, MapEntryNamingABlockIsRefusedByTheBlock) {
  const int block = IndexOf(PARAMETER_BLOCK2_CLASS_ID, 0);
  const int otherBlock = IndexOf(PARAMETER_BLOCK2_CLASS_ID, 1);
  ASSERT_GE(otherBlock, 0);
  ASSERT_EQ(objects[static_cast<size_t>(block)].refCount, 3u);
  std::vector<unsigned char> bad = bytes;
  scenetest::SetRef(bad, objects[static_cast<size_t>(block)], 1, otherBlock);
  const maxhost::LoadResult r = maxhost::LoadSceneFromBytes(bad.data(), bad.size());
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.error.find("refused object " + std::to_string(otherBlock)), std::string::npos)
      << r.error;
  EXPECT_EQ(r.error.rfind("LoadScene: ", 0), 0u) << r.error;
  ExpectNothingLeft(r);
}

// Any reference pointed at any object: the file either loads into objects of the right
// kinds everywhere, or is refused with nothing left behind.
TEST_F(HostileSceneTest, EveryRewiringLoadsRightKindsOrNothing) {
  int refused = 0, loaded = 0;
  for (const SavedObject& o : objects) {
    for (uint32_t k = 0; k < o.refCount; ++k) {
      for (int to = -1; to < static_cast<int>(objects.size()); ++to) {
        std::vector<unsigned char> bad = bytes;
        scenetest::SetRef(bad, o, k, to);
        maxhost::LoadResult r = maxhost::LoadSceneFromBytes(bad.data(), bad.size());
        if (!r.ok) {
          ++refused;
          EXPECT_EQ(r.error.rfind("LoadScene: ", 0), 0u) << r.error;
          ExpectNothingLeft(r);
          continue;
        }
        ++loaded;
        ASSERT_EQ(r.roots.size(), 1u);
        auto* map = static_cast<TestMap*>(r.roots[0]);
        ASSERT_NE(map->pblock, nullptr);
        EXPECT_EQ(map->pblock->SuperClassID(), static_cast<SClass_ID>(PARAMETER_BLOCK2_CLASS_ID));
        for (int e = 0; e < map->pblock->Count(tp_maps); ++e) {
          ReferenceTarget* sub = map->pblock->GetReferenceTarget(tp_maps, 0, e);
          if (sub) {
            EXPECT_EQ(sub->SuperClassID(), static_cast<SClass_ID>(TEXMAP_CLASS_ID));
          }
        }
        map->DeleteMe();
        EXPECT_EQ(gLiveTargets, liveAtStart);
      }
    }
  }
  EXPECT_GT(refused, 0);
  EXPECT_GT(loaded, 0);
}

}  // namespace
