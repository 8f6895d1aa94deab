// Scripts that once misbehaved: a map put into its own sub-map list, numbers beyond a
// parameter's range, thousands of appends to a list parameter, and script files that are
// not regular files. The copied inputs run as they were found.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <fstream>

#include "base/text.h"
#include "maxscript/engine.h"
#include "render/register.h"
#include "script_test.h"
#include "../test_support/non_regular_path.h"

namespace {

using namespace maxhost::mxs;
using maxhost::Utf8FromWide;
using maxhost::WideFromUtf8;
using tile_test::TileMap;

const std::string kData = MAXSCRIPT_TEST_DATA_DIR;

using Hostile = TileMapScriptTest;

TEST_F(Hostile, SelfContainingMapsAreRefusedWithAnError) {
  RunResult r = run_file(kData + "/selfsub.ms");
  ASSERT_TRUE(r.ok) << Utf8FromWide(r.error);
  EXPECT_TRUE(has(r.output, L"a map cannot contain itself: Map #1:Tilvara"))
      << Utf8FromWide(r.output);
  EXPECT_FALSE(has(r.output, L"assigned self"));
  EXPECT_FALSE(has(r.output, L"assigned cycle"));
  // The refused assignments changed nothing: m keeps n, n stays empty, nothing undefined.
  EXPECT_TRUE(has(r.output, L"#(Map #2:Tilvara)\n#()\n\"done\"")) << Utf8FromWide(r.output);
  EXPECT_FALSE(has(r.output, L"undefined"));
}

TEST_F(Hostile, EveryWayOfPuttingAMapIntoItselfSaysSo) {
  eval(L"m = Tilvara()\nc = Checker()\nm.submaps = #(c)");
  TileMap* m = map_of(L"m");
  for (const wchar_t* script : {L"m.submaps = #(c, m)", L"append m.submaps m", L"m.submaps[1] = m",
                                L"m.submaps[3] = m", L"join m.submaps #(m)"}) {
    EXPECT_TRUE(
        has(error_of(script), L"-- Runtime error: a map cannot contain itself: Map #1:Tilvara"))
        << Utf8FromWide(script);
    ASSERT_EQ(m->pblock->Count(tile_test::tp_submaps), 1) << Utf8FromWide(script);
    EXPECT_EQ(eval(L"m.submaps[1] == c"), L"true");
  }
  // A cycle through a second map, by each route.
  eval(L"n = Tilvara()\nn.submaps = #(m)");
  EXPECT_TRUE(has(error_of(L"append m.submaps n"), L"a map cannot contain itself"));
  EXPECT_TRUE(has(error_of(L"m.submaps[1] = n"), L"a map cannot contain itself"));
  EXPECT_EQ(eval(L"m.submaps.count"), L"1");
  // A map that is no texture map is no sub-map either.
  EXPECT_TRUE(has(error_of(L"append m.submaps (StandardMaterial())"), L"submaps cannot hold"));
  EXPECT_EQ(eval(L"m.submaps.count"), L"1");
}

TEST_F(Hostile, OddNumbersForParametersAreErrorsThatNameTheParameter) {
  RunResult r = run_file(kData + "/params_odd.ms");
  ASSERT_TRUE(r.ok) << Utf8FromWide(r.error);
  const std::wstring& out = r.output;
  // Script numbers beyond int32 are floats; 1e39 is the host's infinity, shown as 1e+030.
  EXPECT_TRUE(has(out,
                  L"seed = 2.14748e+09 ERR -- Runtime error: seed needs an integer from "
                  L"-2147483648 to 2147483647, got: 2.14748e+09\n"))
      << Utf8FromWide(out);
  EXPECT_TRUE(has(out, L"filtering = 1e+030 ERR -- Runtime error: filtering needs an integer"));
  EXPECT_TRUE(has(out, L"rnd_by = -2.14748e+09 -> -2147483648\n"));
  EXPECT_TRUE(has(out, L"blur = 1e+030 ERR -- Runtime error: blur needs a number within float"));
  EXPECT_TRUE(has(out, L"rotate = -1e+030 ERR -- Runtime error: rotate needs a number within"));
  EXPECT_TRUE(has(out, L"seed = -1 -> -1\n"));
  EXPECT_TRUE(has(out, L"rotate = 0 -> 0.0\n"));
  EXPECT_TRUE(has(out, L"submap_on = x ERR -- Unable to convert: \"x\" to type: BooleanClass"));
  EXPECT_FALSE(has(out, L"-> 1e+030")) << Utf8FromWide(out);
  EXPECT_FALSE(has(out, L"-> -1e+030"));
  EXPECT_TRUE(has(out, L"\"done\""));
  // A refused value leaves the old one.
  eval(L"m = Tilvara seed:77 blur:2.5");
  error_of(L"m.seed = 3e10");
  error_of(L"m.blur = 1e39");
  EXPECT_EQ(eval(L"m.seed"), L"77");
  EXPECT_EQ(eval(L"m.blur"), L"2.5");
  EXPECT_TRUE(has(error_of(L"m.probability = #(1, 5e9)"), L"probability needs an integer"));
  EXPECT_EQ(eval(L"m.probability.count"), L"0");
}

TEST_F(Hostile, AnglesReadInDegreesAndBooleansAsBooleans) {
  eval(L"m = Tilvara()\nm.rotate = 90");
  TileMap* m = map_of(L"m");
  EXPECT_NEAR(m->pblock->GetFloat(tile_test::tp_rotate), M_PI / 2, 1e-6);
  EXPECT_EQ(eval(L"m.rotate"), L"90.0");
  m->pblock->SetValue(tile_test::tp_rotate, 0, static_cast<float>(M_PI));
  EXPECT_EQ(eval(L"m.rotate"), L"180.0");
  EXPECT_EQ(eval(L"m.use_color"), L"false");
  EXPECT_EQ(eval(L"m.use_color = true; m.use_color"), L"true");
  EXPECT_EQ(m->pblock->GetInt(tile_test::tp_use_color), 1);
  EXPECT_EQ(eval(L"m.submap_on = #(true, 0, 2); m.submap_on"), L"#(true, false, true)");
  // Colours read as Color values on the 0 to 255 scale; a Point3 is stored as is.
  EXPECT_EQ(eval(L"m.sub_color"), L"(color 127.5 127.5 127.5)");
  EXPECT_EQ(eval(L"m.sub_color = [0.25, 1, 0]; m.sub_color"), L"(color 63.75 255 0)");
  EXPECT_TRUE(has(error_of(L"m.sub_color = 3"), L"Unable to convert: 3 to type: Point3"));
}

TEST_F(Hostile, ThousandsOfAppendsTakeLinearTime) {
  const auto start = std::chrono::steady_clock::now();
  RunResult r = run_file(kData + "/quadratic_append.ms");
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  ASSERT_TRUE(r.ok) << Utf8FromWide(r.error);
  EXPECT_EQ(r.output, L"2000\n");
  EXPECT_LT(seconds, 0.5);
  // Each append was one structure change, seen with the new entry in place.
  TileMap* m = map_of(L"m");
  ASSERT_EQ(m->structure_counts.size(), 2000u);
  EXPECT_EQ(m->structure_counts.front(), 1);
  EXPECT_EQ(m->structure_counts.back(), 2000);
  EXPECT_EQ(eval(L"classOf m.submaps[2000]"), L"Checker");
}

TEST_F(Hostile, ScriptFilesMustBeRegularFilesOfBoundedSize) {
  const auto dir =
      std::filesystem::temp_directory_path() / ("mxs_hostile_" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  const std::string fifo = (dir / "pipe.ms").string();
  ASSERT_TRUE(maxhost::test::MakeSpecialFile(fifo));
  const std::string big = (dir / "big.ms").string();
  { std::ofstream(big) << "print 1\n"; }
  std::filesystem::resize_file(big, (64u << 20) + 1);
  const std::string good = (dir / "good.ms").string();
  { std::ofstream(good) << "fileInResult = 6 * 7\nprint \"from file\"\n"; }

  define_global(L"fifoPath", new String(WideFromUtf8(fifo)));
  define_global(L"bigPath", new String(WideFromUtf8(big)));
  define_global(L"goodPath", new String(WideFromUtf8(good)));
  define_global(L"dirPath", new String(WideFromUtf8(dir.string())));
  EXPECT_TRUE(
      has(error_of(L"fileIn fifoPath"), L"fileIn cannot read the file: read_script_file: "));
  EXPECT_TRUE(has(error_of(L"fileIn dirPath"), L"fileIn cannot read the file"));
  EXPECT_TRUE(has(error_of(L"fileIn bigPath"), L"fileIn cannot read the file"));
  EXPECT_FALSE(run_file(fifo).ok);
  RunResult r = run_string(L"fileIn goodPath; fileInResult");
  EXPECT_TRUE(r.ok) << Utf8FromWide(r.error);
  EXPECT_EQ(r.result, L"42");
  EXPECT_EQ(r.output, L"\"from file\"\n");
  std::filesystem::remove_all(dir);
}

}  // namespace
