// Material libraries in scripts: currentMaterialLibrary as a collection, saving it as a
// scene file whose roots are its entries, and loading such a file back in place of the
// old entries.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "base/text.h"
#include "maxscript/engine.h"
#include "render/register.h"
#include "scene/scene_file.h"
#include "script_test.h"
#include "../test_support/non_regular_path.h"

namespace {

using namespace maxhost::mxs;
using maxhost::Utf8FromWide;
using maxhost::WideFromUtf8;

class Library : public TileMapScriptTest {
 protected:
  void SetUp() override {
    TileMapScriptTest::SetUp();
    dir_ = std::filesystem::temp_directory_path() / ("mxs_library_" + std::to_string(getpid()));
    std::filesystem::create_directories(dir_);
    eval(L"while currentMaterialLibrary.count > 0 do deleteItem currentMaterialLibrary 1");
  }
  void TearDown() override {
    eval(L"while currentMaterialLibrary.count > 0 do deleteItem currentMaterialLibrary 1");
    TileMapScriptTest::TearDown();
    std::filesystem::remove_all(dir_);
  }

  std::string path(const char* name) {
    const std::string p = (dir_ / name).string();
    define_global(WideFromUtf8(name).substr(0, WideFromUtf8(name).find(L'.')) + L"Path",
                  new String(WideFromUtf8(p)));
    return p;
  }
  // Every parameter of the map held in `global`, as scripts print it.
  std::map<std::wstring, std::wstring> parameters(const std::wstring& global) {
    Value* v = global_value(global);
    EXPECT_NE(v, nullptr);
    std::map<std::wstring, std::wstring> out;
    if (v == nullptr) return out;
    IParamBlock2* pb = v->to_reftarg()->GetParamBlock(0);
    ParamBlockDesc2* desc = pb->GetDesc();
    for (int i = 0; i < pb->NumParams(); ++i) {
      const std::wstring name = desc->paramdefs[static_cast<std::size_t>(i)].int_name;
      out[name] = eval(global + L"." + name);
    }
    return out;
  }

  std::filesystem::path dir_;
};

TEST_F(Library, SavedMapComesBackWithEveryParameter) {
  eval(
      L"c = Checker color1:[1,0,0] color2:[0,0.5,1] tiling:3 mapChannel:2\n"
      L"p = PlankTiles tileMap:(Checker()) groutColor:[0.1,0.2,0.3] tileColor:[0.9,0.5,0.25] "
      L"rowHeight:0.375 minLength:0.75 maxLength:2.5 groutWidth:0.03125 seed:9 mapChannel:3\n"
      L"t = Tilvara seed:4242 rnd_by:2 filtering:1 blur:0.5 all_gamma:2.25 rotate:45 "
      L"sub_color:[0.125,0.25,0.5] use_color:true label:\"plank floor\"\n"
      L"t.name = \"Floor\"\n"
      L"t.submaps = #(c, p)\nt.submap_on = #(true, false)\nt.probability = #(3, 7)\n"
      L"freshT = Tilvara()\nfreshC = Checker()\nfreshP = PlankTiles()");
  // The test is only as good as its maps: no parameter may still hold its default.
  const auto saved = parameters(L"t");
  const auto savedChecker = parameters(L"c");
  const auto savedPlanks = parameters(L"p");
  ASSERT_EQ(saved.size(), 12u);
  for (const auto& [global, values] :
       {std::pair{L"freshT", saved}, {L"freshC", savedChecker}, {L"freshP", savedPlanks}}) {
    const auto defaults = parameters(global);
    for (const auto& [name, value] : values)
      EXPECT_NE(value, defaults.at(name)) << Utf8FromWide(global) << "." << Utf8FromWide(name);
  }

  eval(L"append currentMaterialLibrary t\nappend currentMaterialLibrary (StandardMaterial())");
  EXPECT_EQ(eval(L"currentMaterialLibrary.count"), L"2");
  EXPECT_EQ(eval(L"currentMaterialLibrary"),
            L"#materialLibrary(Floor:Tilvara, Material #1:Standard)");
  const std::string file = path("floor.mat");
  EXPECT_EQ(eval(L"saveMaterialLibrary floorPath"), L"true");

  // Other tools read the file as a scene whose roots are the entries, in order.
  maxhost::LoadResult scene = maxhost::LoadScene(file);
  ASSERT_TRUE(scene.ok) << scene.error;
  ASSERT_EQ(scene.roots.size(), 2u);
  EXPECT_EQ(scene.roots[0]->ClassID(), tile_test::kTileMapClassId);
  for (ReferenceTarget* root : scene.roots) root->MaybeAutoDelete();

  EXPECT_EQ(eval(L"loadMaterialLibrary floorPath"), L"true");
  // The listener prints a string between quotes, backslashes as they are.
  EXPECT_EQ(eval(L"getMatLibFileName()"), L"\"" + WideFromUtf8(file) + L"\"");
  EXPECT_EQ(eval(L"currentMaterialLibrary.count"), L"2");
  eval(L"back = currentMaterialLibrary[1]");
  EXPECT_EQ(eval(L"back == t"), L"false");
  EXPECT_EQ(eval(L"back.name"), L"\"Floor\"");
  EXPECT_EQ(parameters(L"back"), saved);
  eval(L"backChecker = back.submaps[1]\nbackPlanks = back.submaps[2]");
  EXPECT_EQ(parameters(L"backChecker"), savedChecker);
  EXPECT_EQ(parameters(L"backPlanks"), savedPlanks);
  EXPECT_EQ(eval(L"classOf backPlanks.tileMap"), L"Checker");
  EXPECT_EQ(eval(L"classOf currentMaterialLibrary[2]"), L"Standardmaterial");
  // The old entries were released: nothing else held them.
  RunResult gone = run_string(L"t.seed");
  EXPECT_FALSE(gone.ok);
  EXPECT_NE(gone.error.find(L"deleted scene object"), std::wstring::npos);
}

TEST_F(Library, IndexingByPositionAndNameAppendAndDelete) {
  eval(L"a = Checker()\na.name = \"Red\"\nb = PlankTiles()\nb.name = \"Oak\"");
  eval(L"append currentMaterialLibrary a\ncurrentMaterialLibrary[#Oak] = b");
  EXPECT_EQ(eval(L"currentMaterialLibrary.count"), L"2");
  EXPECT_EQ(eval(L"currentMaterialLibrary[\"oak\"] == b"), L"true");
  EXPECT_EQ(eval(L"currentMaterialLibrary[#red] == a"), L"true");
  EXPECT_EQ(eval(L"currentMaterialLibrary[5]"), L"undefined");
  EXPECT_EQ(eval(L"currentMaterialLibrary[#none]"), L"undefined");
  EXPECT_EQ(eval(L"for m in currentMaterialLibrary collect m.name"), L"#(\"Red\", \"Oak\")");
  eval(L"currentMaterialLibrary[1] = b");
  EXPECT_EQ(eval(L"currentMaterialLibrary[1] == b"), L"true");
  EXPECT_FALSE(run_string(L"currentMaterialLibrary[3] = a").ok);
  EXPECT_FALSE(run_string(L"append currentMaterialLibrary 5").ok);
  EXPECT_FALSE(run_string(L"deleteItem currentMaterialLibrary 3").ok);
  eval(L"deleteItem currentMaterialLibrary 1");
  EXPECT_EQ(eval(L"currentMaterialLibrary.count"), L"1");
  EXPECT_EQ(eval(L"classOf currentMaterialLibrary"), L"MaterialLibrary");
  // The library holds its entries: collecting the wrappers loses nothing.
  eval(L"b = undefined\ngc()");
  EXPECT_EQ(eval(L"currentMaterialLibrary[1].name"), L"\"Oak\"");
}

TEST_F(Library, FailedLoadsSayWhyAndKeepTheLibrary) {
  eval(L"append currentMaterialLibrary (Checker tiling:5)");
  const std::string garbage = path("garbage.mat");
  { std::ofstream(garbage) << "not a scene file at all"; }
  const std::string fifo = path("pipe.mat");
  ASSERT_TRUE(maxhost::test::MakeSpecialFile(fifo));
  path("missing.mat");
  for (const wchar_t* script : {L"loadMaterialLibrary garbagePath", L"loadMaterialLibrary pipePath",
                                L"loadMaterialLibrary missingPath"}) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(eval(script), L"false") << Utf8FromWide(script);
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("oad"), std::string::npos) << Utf8FromWide(script) << ": " << said;
    EXPECT_EQ(eval(L"currentMaterialLibrary[1].tiling"), L"5.0");
  }
  define_global(L"noFolderPath", new String(WideFromUtf8((dir_ / "none" / "x.mat").string())));
  testing::internal::CaptureStderr();
  EXPECT_EQ(eval(L"saveMaterialLibrary noFolderPath"), L"false");
  EXPECT_NE(testing::internal::GetCapturedStderr().find("saveMaterialLibrary"), std::string::npos);
  // A disk that takes nothing is a failed save, not a saved library.
  define_global(L"fullDiskPath", new String(L"/dev/full"));
  testing::internal::CaptureStderr();
  EXPECT_EQ(eval(L"saveMaterialLibrary fullDiskPath"), L"false");
  EXPECT_NE(testing::internal::GetCapturedStderr().find("saveMaterialLibrary"), std::string::npos);
}

}  // namespace
