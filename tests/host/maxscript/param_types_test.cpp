// Values crossing between scripts and host objects follow the shared parameter-type
// table, whether they go through a parameter block or a published interface: angles in
// degrees, 32-bit integers checked, booleans as true/false.
#include <gtest/gtest.h>

#include <cmath>

#include "base/text.h"
#include "maxscript/engine.h"
#include "render/register.h"
#include "script_test.h"

namespace {

using namespace maxhost::mxs;
using maxhost::Utf8FromWide;
using maxhost::WideFromUtf8;
using tile_test::TileMap;

using ParamTypes = TileMapScriptTest;

TEST_F(ParamTypes, InterfacePropertiesConvertAsParametersDo) {
  eval(L"m = Tilvara()\nm.turn = 180");
  TileMap* m = map_of(L"m");
  EXPECT_NEAR(m->turn, M_PI, 1e-6);
  m->turn = static_cast<float>(M_PI / 4);
  EXPECT_EQ(eval(L"m.turn"), L"45.0");
  EXPECT_EQ(eval(L"m.tiles = 12; m.tiles"), L"12");
  EXPECT_EQ(m->tiles, 12);
  EXPECT_NE(error_of(L"m.tiles = 3e9").find(L"32-bit integer"), std::wstring::npos);
  EXPECT_NE(error_of(L"m.turn = 1e39").find(L"float range"), std::wstring::npos);
  EXPECT_NE(error_of(L"m.tiles = \"many\"").find(L"to type: Integer"), std::wstring::npos);
  EXPECT_EQ(m->tiles, 12);
  EXPECT_EQ(eval(L"m.shown"), L"false");
  EXPECT_EQ(eval(L"m.shown = true; m.shown"), L"true");
  EXPECT_EQ(m->shown, TRUE);
  eval(L"c = Checker tiling:6\nm.backing = c");
  EXPECT_EQ(m->backing, dynamic_cast<Texmap*>(global_value(L"c")->to_reftarg()));
  EXPECT_EQ(eval(L"m.backing.tiling"), L"6.0");
  EXPECT_EQ(eval(L"m.backing == c"), L"true");
  EXPECT_EQ(eval(L"m.tint"), L"(color 63.75 127.5 191.25)");
  EXPECT_NE(error_of(L"m.tint = [1,1,1]").find(L"read-only"), std::wstring::npos);
}

TEST_F(ParamTypes, ListEntriesConvertOneByOne) {
  eval(L"m = Tilvara()\nm.probability = #(1, 2)\nm.probability[4] = 9");
  TileMap* m = map_of(L"m");
  EXPECT_EQ(eval(L"m.probability"), L"#(1, 2, 1, 9)");
  // A refused entry beyond the end leaves the list as long as it was.
  EXPECT_NE(error_of(L"m.probability[7] = 1e10").find(L"probability needs an integer"),
            std::wstring::npos);
  EXPECT_EQ(m->pblock->Count(tile_test::tp_probability), 4);
  EXPECT_NE(error_of(L"append m.probability 1e10").find(L"probability needs an integer"),
            std::wstring::npos);
  EXPECT_EQ(m->pblock->Count(tile_test::tp_probability), 4);
  EXPECT_EQ(eval(L"m.probability.count = 2; m.probability"), L"#(1, 2)");
  error_of(L"m.probability.count = -1");
  error_of(L"m.probability[0]");
  EXPECT_EQ(eval(L"m.label = \"grout\"; m.label"), L"\"grout\"");
  EXPECT_EQ(eval(L"m.label = #walnutGrain; m.label"), L"\"walnutGrain\"");
  error_of(L"m.label = 5");
  // Replacing a list by one with a map in both keeps that map alive throughout.
  eval(L"a = Checker tiling:2\nb = Checker tiling:4\nm.submaps = #(a)\nm.submaps = #(b, a)");
  EXPECT_EQ(eval(L"m.submaps[2].tiling"), L"2.0");
  EXPECT_EQ(m->structure_counts.back(), 2);
  eval(L"m.submaps = #()");
  EXPECT_EQ(m->structure_counts.back(), 0);
  EXPECT_FALSE(run_string(L"a.tiling").ok);
}

}  // namespace
