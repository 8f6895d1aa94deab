// Damaged scene files never put an object of the wrong kind where the map expects its
// parameter block, and the map never reads one as its block.
#include <filesystem>
#include <string>

#include "core/live_targets.h"
#include "scene/scene_file.h"
#include "test_support.h"
#include "texmap/pavimo.h"

using namespace tilvara_test;

namespace {

class HostileSceneTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(Plugin().desc) << Plugin().error; }
};

// Each file once crashed the host or corrupted its heap; each is now refused whole.
TEST_F(HostileSceneTest, RecordedHostileFilesAreRefusedWithNothingLeft) {
  const char* files[] = {
      "scene-bitmap-pblock-is-checker.tlvs",          "scene-bitmap-pblock-typeconfusion.tlvs",
      "scene-heap-overflow-after-typeconfusion.tlvs", "scene-material-pblock-is-tilemap.tlvs",
      "scene-tilvara-pblock-is-uvgen.tlvs",           "scene-tilvara-pblock-typeconfusion.tlvs",
      "scene-uvgen-pblock-is-checker.tlvs",
  };
  for (const char* name : files) {
    const std::string path = std::string(TILVARA_SCENE_DATA) + "/" + name;
    ASSERT_TRUE(std::filesystem::is_regular_file(path)) << path;
    const long before = maxhost::LiveReferenceTargets();
    const maxhost::LoadResult r = maxhost::LoadScene(path);
    EXPECT_FALSE(r.ok) << name;
    EXPECT_TRUE(r.roots.empty()) << name;
    EXPECT_EQ(r.error.rfind("LoadScene: object ", 0), 0u) << name << ": " << r.error;
    EXPECT_EQ(maxhost::LiveReferenceTargets(), before) << name << ": " << r.error;
  }
}

// A target that is not a parameter block in the block's slot reads as no block: the map
// updates and shades as a map without one.
TEST_F(HostileSceneTest, MapNeverHandsOutANonBlockAsItsBlock) {
  MapPtr map = NewMap();
  ASSERT_NE(BlockOf(map.get()), nullptr);
  MapPtr stranger = NewMap();
  ASSERT_EQ(map->ReplaceReference(PAVIMO_PBLOCK_REF, stranger.get()), REF_SUCCEED);
  EXPECT_EQ(map->GetReference(PAVIMO_PBLOCK_REF), stranger.get());
  auto* pavimo = static_cast<Pavimo*>(map.get());
  EXPECT_EQ(pavimo->Block(), nullptr);
  EXPECT_EQ(map->GetParamBlock(0), nullptr);
  Interval valid = FOREVER;
  map->Update(0, valid);
  TestShadeContext sc;
  const AColor c = map->EvalColor(sc);
  EXPECT_TRUE(c.r == c.r && c.g == c.g && c.b == c.b);
  map->ReplaceReference(PAVIMO_PBLOCK_REF, nullptr, FALSE);
}

}  // namespace
