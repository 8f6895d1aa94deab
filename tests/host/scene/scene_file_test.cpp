#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>

#include "core/class_directory.h"
#include "core/param_block.h"
#include "scene/scene_file.h"
#include "test_classes.h"

using namespace coretest;

namespace {

class SceneFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    maxhost::RegisterClassDesc(&TheTestMapDesc());
    liveAtStart = gLiveTargets;
  }
  void TearDown() override { maxhost::UnregisterClassDesc(&TheTestMapDesc()); }

  // A map with every kind of parameter set away from its default, two sub-maps (one
  // used twice) and a keyed parameter.
  TestMap* MakeScene() {
    auto* map = new TestMap();
    map->SetName(L"Floor map");
    IParamBlock2* pb = map->pblock;
    pb->SetValue(tp_float, 0, 42.25f);
    pb->SetValue(tp_int, 0, 777);
    pb->SetValue(tp_color, 0, Color(0.1f, 0.2f, 0.3f));
    pb->SetValue(tp_bool, 0, TRUE);
    pb->SetValue(tp_angle, 0, 1.25f);
    pb->SetValue(tp_string, 0, L"d\u00e9j\u00e0 vu");
    pb->SetValue(tp_acolor, 0, AColor(0.9f, 0.8f, 0.7f, 0.6f));
    auto* a = new TestMap();
    a->SetName(L"A");
    a->pblock->SetValue(tp_int, 0, 5);
    auto* b = new TestMap();
    b->SetName(L"B");
    Texmap* maps[3] = {a, nullptr, a};
    pb->Append(tp_maps, 3, maps);
    pb->SetValue(tp_maps, 0, static_cast<Texmap*>(b), 1);
    pb->SetCount(tp_flags, 3);
    pb->SetValue(tp_flags, 0, FALSE, 1);
    pb->SetCount(tp_weights, 3);
    pb->SetValue(tp_weights, 0, -3, 2);
    AnimateOn();
    pb->SetValue(tp_point, 160, Point3(4.0f, 5.0f, 6.0f));
    AnimateOff();
    return map;
  }

  int liveAtStart = 0;
};

TEST_F(SceneFileTest, RoundTripKeepsEveryValueEntryKeyAndSubMap) {
  TestMap* map = MakeScene();
  std::vector<unsigned char> bytes;
  auto saved = maxhost::SaveSceneToBytes({map}, bytes);
  ASSERT_TRUE(saved.ok) << saved.error;
  map->DeleteMe();
  EXPECT_EQ(gLiveTargets, liveAtStart);

  auto loaded = maxhost::LoadSceneFromBytes(bytes.data(), bytes.size());
  ASSERT_TRUE(loaded.ok) << loaded.error;
  ASSERT_EQ(loaded.roots.size(), 1u);
  auto* m = dynamic_cast<TestMap*>(loaded.roots[0]);
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(m->GetName(), MSTR(L"Floor map"));
  IParamBlock2* pb = m->pblock;
  ASSERT_NE(pb, nullptr);
  EXPECT_EQ(pb->GetOwner(), m);
  EXPECT_FLOAT_EQ(pb->GetFloat(tp_float), 42.25f);
  EXPECT_EQ(pb->GetInt(tp_int), 777);
  EXPECT_EQ(pb->GetColor(tp_color), Color(0.1f, 0.2f, 0.3f));
  EXPECT_EQ(pb->GetInt(tp_bool), TRUE);
  EXPECT_FLOAT_EQ(pb->GetFloat(tp_angle), 1.25f);
  EXPECT_STREQ(pb->GetStr(tp_string), L"d\u00e9j\u00e0 vu");
  EXPECT_EQ(pb->GetAColor(tp_acolor), AColor(0.9f, 0.8f, 0.7f, 0.6f));

  ASSERT_EQ(pb->Count(tp_maps), 3);
  Texmap* a = pb->GetTexmap(tp_maps, 0, 0);
  Texmap* b = pb->GetTexmap(tp_maps, 0, 1);
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(pb->GetTexmap(tp_maps, 0, 2), a) << "a shared sub-map stays shared";
  EXPECT_EQ(a->GetName(), MSTR(L"A"));
  EXPECT_EQ(b->GetName(), MSTR(L"B"));
  EXPECT_EQ(static_cast<TestMap*>(a)->pblock->GetInt(tp_int), 5);

  ASSERT_EQ(pb->Count(tp_flags), 3);
  EXPECT_EQ(pb->GetInt(tp_flags, 0, 0), 1);
  EXPECT_EQ(pb->GetInt(tp_flags, 0, 1), 0);
  EXPECT_EQ(pb->GetInt(tp_weights, 0, 2), -3);

  Interval iv = FOREVER;
  Point3 p;
  pb->GetValue(tp_point, 80, p, iv);
  EXPECT_EQ(p, Point3(2.5f, 3.5f, 4.5f));
  EXPECT_EQ(iv, Interval(80, 80));

  m->DeleteMe();
  EXPECT_EQ(gLiveTargets, liveAtStart) << "loaded objects are owned as saved";
}

TEST_F(SceneFileTest, FileRoundTripAndMissingFile) {
  TestMap* map = MakeScene();
  const auto path = (std::filesystem::temp_directory_path() / "tilvara_core_scene.tlvs").string();
  auto saved = maxhost::SaveScene(path, {map});
  ASSERT_TRUE(saved.ok) << saved.error;
  map->DeleteMe();
  auto loaded = maxhost::LoadScene(path);
  ASSERT_TRUE(loaded.ok) << loaded.error;
  loaded.roots[0]->DeleteMe();
  std::remove(path.c_str());
  auto missing = maxhost::LoadScene(path);
  EXPECT_FALSE(missing.ok);
  EXPECT_EQ(missing.error.rfind("LoadScene: '", 0), 0u) << missing.error;
}

// Every truncation of a valid file is refused with an error naming where, and leaves no
// object behind.
TEST_F(SceneFileTest, TruncatedFilesAreRefusedCleanly) {
  TestMap* map = MakeScene();
  std::vector<unsigned char> bytes;
  ASSERT_TRUE(maxhost::SaveSceneToBytes({map}, bytes).ok);
  map->DeleteMe();
  for (size_t n = 0; n < bytes.size(); ++n) {
    auto r = maxhost::LoadSceneFromBytes(bytes.data(), n);
    ASSERT_FALSE(r.ok) << "length " << n;
    EXPECT_EQ(r.error.rfind("LoadScene: ", 0), 0u) << r.error;
    EXPECT_TRUE(r.roots.empty());
    ASSERT_EQ(gLiveTargets, liveAtStart) << "length " << n << ": " << r.error;
  }
  auto r = maxhost::LoadSceneFromBytes(bytes.data(), 40);
  EXPECT_NE(r.error.find("is truncated at byte"), std::string::npos) << r.error;
}

// A chunk whose length runs past its container is named with the byte where the container
// ends, and nothing is created.
TEST_F(SceneFileTest, AnOverlongChunkIsNamedWithWhereItsContainerEnds) {
  TestMap* map = MakeScene();
  std::vector<unsigned char> bytes;
  ASSERT_TRUE(maxhost::SaveSceneToBytes({map}, bytes).ok);
  map->DeleteMe();
  // The first parameter chunk (id 0x2100) of the first block.
  size_t at = 0;
  for (size_t i = 10; i + 6 <= bytes.size() && !at; ++i)
    if (bytes[i] == 0x00 && bytes[i + 1] == 0x21) at = i;
  ASSERT_NE(at, 0u);
  uint32_t length = 0;
  std::memcpy(&length, &bytes[at + 2], 4);
  length += 1000;
  std::memcpy(&bytes[at + 2], &length, 4);
  auto r = maxhost::LoadSceneFromBytes(bytes.data(), bytes.size());
  EXPECT_FALSE(r.ok);
  const std::string prefix = "LoadScene: chunk 0x2100 is truncated at byte ";
  ASSERT_EQ(r.error.rfind(prefix, 0), 0u) << r.error;
  const size_t end = std::stoul(r.error.substr(prefix.size()));
  EXPECT_GT(end, at);
  EXPECT_LT(end, bytes.size());
  EXPECT_EQ(gLiveTargets, liveAtStart);
}

TEST_F(SceneFileTest, CorruptedBytesNeverCrashOrLeak) {
  TestMap* map = MakeScene();
  std::vector<unsigned char> bytes;
  ASSERT_TRUE(maxhost::SaveSceneToBytes({map}, bytes).ok);
  map->DeleteMe();
  unsigned state = 12345;
  for (int round = 0; round < 400; ++round) {
    std::vector<unsigned char> bad = bytes;
    for (int k = 0; k < 3; ++k) {
      state = state * 214013u + 2531011u;
      const size_t at = 10 + (state >> 8) % (bad.size() - 10);
      bad[at] = static_cast<unsigned char>(state >> 24);
    }
    auto r = maxhost::LoadSceneFromBytes(bad.data(), bad.size());
    if (r.ok) {
      for (ReferenceTarget* root : r.roots) root->DeleteMe();
    } else {
      EXPECT_EQ(r.error.rfind("LoadScene: ", 0), 0u) << r.error;
    }
    ASSERT_EQ(gLiveTargets, liveAtStart) << "round " << round << ": " << r.error;
  }
}

TEST_F(SceneFileTest, WrongMagicVersionAndUnknownClassAreNamed) {
  TestMap* map = MakeScene();
  std::vector<unsigned char> bytes;
  ASSERT_TRUE(maxhost::SaveSceneToBytes({map}, bytes).ok);
  map->DeleteMe();

  auto notScene = maxhost::LoadSceneFromBytes(reinterpret_cast<const unsigned char*>("hello"), 5);
  EXPECT_EQ(notScene.error, "LoadScene: not a scene file");

  std::vector<unsigned char> v2 = bytes;
  v2[8] = 2;
  EXPECT_EQ(maxhost::LoadSceneFromBytes(v2.data(), v2.size()).error,
            "LoadScene: unsupported scene file version 2 (this host reads 1)");

  maxhost::UnregisterClassDesc(&TheTestMapDesc());
  auto unknown = maxhost::LoadSceneFromBytes(bytes.data(), bytes.size());
  EXPECT_FALSE(unknown.ok);
  EXPECT_NE(unknown.error.find("unknown class (0xC10, 0x7E570002:0x2) of object 0"),
            std::string::npos)
      << unknown.error;
  EXPECT_EQ(gLiveTargets, liveAtStart);
}

TEST_F(SceneFileTest, WeakReferencesAreNotSaved) {
  auto* holder = new TestTarget(1);
  holder->weakFirst = true;
  auto* m = new TestMap();
  holder->ReplaceReference(0, m);
  std::vector<unsigned char> bytes;
  auto saved = maxhost::SaveSceneToBytes({m}, bytes);
  ASSERT_TRUE(saved.ok);
  // The holder's class is not registered; saving from it would fail to load, but its
  // weak target alone round-trips.
  auto loaded = maxhost::LoadSceneFromBytes(bytes.data(), bytes.size());
  ASSERT_TRUE(loaded.ok) << loaded.error;
  loaded.roots[0]->DeleteMe();
  m->DeleteMe();
  EXPECT_EQ(holder->GetReference(0), nullptr);
  holder->DeleteMe();
  EXPECT_EQ(gLiveTargets, liveAtStart);
}

}  // namespace
