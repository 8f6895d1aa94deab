// Colour and point values, superClassOf, and the map's colours, names and property list
// as scripts see them.
#include <gtest/gtest.h>

#include <string>

#include "base/text.h"
#include "maxscript/engine.h"
#include "script_test.h"

namespace {

using namespace maxhost::mxs;
using maxhost::Utf8FromWide;

using Values = TileMapScriptTest;

TEST_F(Values, ColorChannelsPropertiesAndConversions) {
  EXPECT_EQ(eval(L"color 0 128 255"), L"(color 0 128 255)");
  EXPECT_EQ(eval(L"color 0 128 255 0"), L"(color 0 128 255 0)");
  EXPECT_EQ(eval(L"c = color 1 2 3; c.alpha = 7; c"), L"(color 1 2 3 7)");
  EXPECT_EQ(eval(L"c.red + c.g + c.blue"), L"6.0");
  // Hue, saturation and value are read and written on the channels' scale.
  EXPECT_EQ(eval(L"(color 0 255 0).h"), L"85.0");
  EXPECT_EQ(eval(L"(color 100 50 50).s"), L"127.5");
  EXPECT_EQ(eval(L"c = color 255 0 0; c.h = 170; c"), L"(color 0 0 255)");
  EXPECT_EQ(eval(L"c = color 200 100 100; c.v = 100; c"), L"(color 100 50 50)");
  EXPECT_EQ(eval(L"(color 4 5 6) as point3"), L"[4,5,6]");
  EXPECT_EQ(eval(L"classOf ([1,2,3] as color)"), L"Color");
  EXPECT_TRUE(has(error_of(L"(color 1 2 3).q"), L"q"));
  EXPECT_TRUE(has(error_of(L"c = color 1 2 3; c.r = \"x\""), L"Unable to convert"));
  EXPECT_TRUE(has(error_of(L"color 1 2 \"3\""), L"Unable to convert"));
}

TEST_F(Values, ColorArithmeticActsOnEveryChannel) {
  EXPECT_EQ(eval(L"(color 10 20 30) + 5"), L"(color 15 25 35 260)");
  EXPECT_EQ(eval(L"5 + (color 10 20 30)"), L"(color 15 25 35 260)");
  EXPECT_EQ(eval(L"(color 10 20 30 40) * 2"), L"(color 20 40 60 80)");
  EXPECT_EQ(eval(L"2 * (color 10 20 30 40)"), L"(color 20 40 60 80)");
  EXPECT_EQ(eval(L"(color 10 20 30 40) / 2"), L"(color 5 10 15 20)");
  // Colour by colour: fractions of 255, so white is the identity of * and /.
  EXPECT_EQ(eval(L"(color 10 20 30) * white"), L"(color 10 20 30)");
  EXPECT_EQ(eval(L"(color 51 102 0) / white"), L"(color 51 102 0)");
  EXPECT_EQ(eval(L"(color 255 0 0) - (color 55 0 0 55)"), L"(color 200 0 0 200)");
  EXPECT_EQ(eval(L"-(color 1 2 3 4)"), L"(color -1 -2 -3 -4)");
  EXPECT_EQ(eval(L"red == (color 255 0 0)"), L"true");
  EXPECT_EQ(eval(L"red == (color 255 0 0 254)"), L"false");
  EXPECT_EQ(eval(L"red == [255, 0, 0]"), L"false");
  EXPECT_TRUE(has(error_of(L"red + \"a\""), L"Unable to convert: \"a\" to type: Color"));
  EXPECT_TRUE(has(error_of(L"red ^ 2"), L"^"));
}

TEST_F(Values, PredefinedColorsAreConstants) {
  EXPECT_EQ(eval(L"#(gray, orange, brown)"),
            L"#((color 128 128 128), (color 255 128 0), (color 128 64 0))");
  EXPECT_FALSE(run_string(L"red = 3").ok);
  EXPECT_TRUE(has(error_of(L"red.g = 9"), L"Cannot change the predefined colour"));
  EXPECT_TRUE(has(error_of(L"c = white; c.r = 0"), L"Cannot change the predefined colour"));
  EXPECT_EQ(eval(L"#(red, white)"), L"#((color 255 0 0), (color 255 255 255))");
  // Arithmetic on a predefined colour makes a new, writable colour.
  EXPECT_EQ(eval(L"c = red * 1; c.g = 9; c"), L"(color 255 9 0)");
}

TEST_F(Values, Point2LiteralsConstructorAndArithmetic) {
  EXPECT_EQ(eval(L"[1.5, -2]"), L"[1.5,-2]");
  EXPECT_EQ(eval(L"classOf (point2 1 2)"), L"Point2");
  EXPECT_EQ(eval(L"p = [1, 2]; p.x = 7; p"), L"[7,2]");
  EXPECT_EQ(eval(L"[6, 8] - [1, 2]"), L"[5,6]");
  EXPECT_EQ(eval(L"[6, 8] / 2"), L"[3,4]");
  EXPECT_EQ(eval(L"[6, 8] * [2, 0.5]"), L"[12,4]");
  EXPECT_EQ(eval(L"[1, 2] == [1, 2, 0]"), L"false");
  EXPECT_EQ(eval(L"[1, 2] as point3"), L"[1,2,0]");
  EXPECT_EQ(eval(L"normalize [0, 5]"), L"[0,1]");
  EXPECT_EQ(eval(L"distance [0, 0] [3, 4]"), L"5.0");
  EXPECT_TRUE(has(error_of(L"[1, 2] + [1, 2, 3]"), L"Point2"));
  EXPECT_TRUE(has(error_of(L"point2 1"), L"point2 wanted 2, got 1"));
}

TEST_F(Values, Point3Functions) {
  EXPECT_EQ(eval(L"point3 1 2.5 -3"), L"[1,2.5,-3]");
  EXPECT_EQ(eval(L"cross [0, 1, 0] [0, 0, 1]"), L"[1,0,0]");
  EXPECT_EQ(eval(L"dot [1, 0, 0] [0, 1, 0]"), L"0.0");
  EXPECT_EQ(eval(L"normalize [0, 0, 0]"), L"[0,0,0]");
  EXPECT_EQ(eval(L"length [1e20, 1e20, 0]"), L"1.41421e+20");
  EXPECT_TRUE(has(error_of(L"distance [1, 2, 3] [1, 2]"), L"Unable to convert"));
  EXPECT_TRUE(has(error_of(L"dot [1, 2] [3, 4]"), L"dot needs a Point3"));
  EXPECT_TRUE(has(error_of(L"length 5"), L"length needs a Point3"));
}

TEST_F(Values, SuperClassOfAnswersAsTheHost) {
  EXPECT_EQ(eval(L"superClassOf 1"), L"Number");
  EXPECT_EQ(eval(L"superClassOf 1.5"), L"Number");
  EXPECT_EQ(eval(L"superClassOf \"s\""), L"Value");
  EXPECT_EQ(eval(L"superClassOf (color 1 2 3)"), L"Value");
  EXPECT_EQ(eval(L"superClassOf [1, 2]"), L"Value");
  EXPECT_EQ(eval(L"superClassOf (Tilvara())"), L"textureMap");
}

TEST_F(Values, MapColoursAreScaledBetweenScriptAndBlock) {
  eval(L"m = Tilvara()");
  auto* map =
      static_cast<tile_test::TileMap*>(dynamic_cast<Texmap*>(global_value(L"m")->to_reftarg()));
  ASSERT_NE(map, nullptr);
  eval(L"m.sub_color = color 51 102 255");
  Color c = map->pblock->GetColor(tile_test::tp_sub_color);
  EXPECT_FLOAT_EQ(c.r, 0.2f);
  EXPECT_FLOAT_EQ(c.g, 0.4f);
  EXPECT_FLOAT_EQ(c.b, 1.0f);
  map->pblock->SetValue(tile_test::tp_sub_color, 0, Color(0.0f, 1.0f, 0.25f));
  EXPECT_EQ(eval(L"m.sub_color"), L"(color 0 255 63.75)");
  EXPECT_EQ(eval(L"m.sub_color = [1, 0, 0]; m.sub_color.r"), L"255.0");
  // The interface's colour property reads on the same scale.
  EXPECT_EQ(eval(L"classOf m.tint"), L"Color");
}

TEST_F(Values, NewMapsAreNumberedFromOnePerScene) {
  EXPECT_EQ(eval(L"a = Tilvara(); b = Tilvara(); #(a.name, b.name)"), L"#(\"Map #1\", \"Map #2\")");
  EXPECT_EQ(eval(L"StandardMaterial()"), L"Material #1:Standard");
  EXPECT_EQ(eval(L"(Tilvara name:\"Floor\")"), L"Floor:Tilvara");
  reset_globals();
  EXPECT_EQ(eval(L"Tilvara()"), L"Map #1:Tilvara");
}

TEST_F(Values, ShowPropertiesWritesToTheListenerOrAStream) {
  output_.clear();
  EXPECT_EQ(eval(L"showProperties (Tilvara())"), L"true");
  EXPECT_TRUE(output_.starts_with(L"  .submaps : texturemap array\n  .seed : integer\n"))
      << Utf8FromWide(output_);
  EXPECT_TRUE(has(output_, L"  .sub_color : RGB color\n"));
  EXPECT_TRUE(has(output_, L"  .tint : RGB color\n"));
  output_.clear();
  EXPECT_EQ(eval(L"s = stringStream \"\"; showProperties (Tilvara()) to:s\n"
                 L"(filterString (s as string) \"\\n\")[2]"),
            L"\"  .seed : integer\"");
  EXPECT_EQ(output_, L"");
  EXPECT_TRUE(has(error_of(L"showProperties (Tilvara()) to:5"), L"StringStream"));
}

}  // namespace

namespace {

TEST_F(Values, BitArraysGrowCompareAndRefuseBadIndices) {
  EXPECT_EQ(eval(L"b = bitArray(); b[4] = true; #(b.count, b.numberSet, b.isEmpty)"),
            L"#(4, 1, false)");
  EXPECT_EQ(eval(L"b[4] = false; b"), L"#{}");
  EXPECT_EQ(eval(L"b.isEmpty"), L"true");
  // Equality ignores trailing clear bits.
  EXPECT_EQ(eval(L"b == bitArray()"), L"true");
  EXPECT_EQ(eval(L"(#(1, 2) as bitArray) == (#(2, 1) as bitArray)"), L"true");
  EXPECT_EQ(eval(L"(#(1, 2) as bitArray) == (#(1) as bitArray)"), L"false");
  EXPECT_EQ(eval(L"b.count = 3; -b"), L"#{1..3}");
  EXPECT_EQ(eval(L"#(7, 1, 2, 3, 4) as bitArray"), L"#{1..4, 7}");
  EXPECT_EQ(eval(L"b[100]"), L"false");
  EXPECT_TRUE(has(error_of(L"b[1e9] = true"), L"BitArray index out of range"));
  EXPECT_TRUE(has(error_of(L"b[1] = 1"), L"Unable to convert: 1 to type: BooleanClass"));
  EXPECT_TRUE(has(error_of(L"b + #(1)"), L"to type: BitArray"));
  EXPECT_TRUE(has(error_of(L"b / b"), L"/"));
}

// The wider numbers at their edges: Integer64 wraps as 64-bit arithmetic does, a Double
// prints with its exponent after d, a Time keeps whole ticks.
TEST_F(Values, WideNumbersAtTheirEdges) {
  EXPECT_EQ(eval(L"9223372036854775807L + 1"), L"-9223372036854775808L");
  EXPECT_EQ(eval(L"(-9223372036854775807L - 1) / -1"), L"-9223372036854775808L");
  EXPECT_TRUE(has(error_of(L"99999999999999999999L"), L"Integer64 literal out of range"));
  EXPECT_EQ(eval(L"1.5d20"), L"1.5d20");
  EXPECT_EQ(eval(L"2.5d-7"), L"2.5d-7");
  EXPECT_EQ(eval(L"123456789.125d0"), L"123456789.125d0");
  EXPECT_EQ(eval(L"(1f / 3).ticks"), L"53");
  EXPECT_EQ(eval(L"1t"), L"0.00625f");
  EXPECT_EQ(eval(L"1e30 as time"), L"0f");
  EXPECT_EQ(eval(L"sort #(3f, 1, 2.5f, 2L)"), L"#(1, 2L, 2.5f, 3f)");
  EXPECT_TRUE(has(error_of(L"10f * 2f"), L"No \"\"*\"\" function for 10f"));
  EXPECT_TRUE(has(error_of(L"2 / 10f"), L"No \"\"/\"\" function for 2"));
}

}  // namespace
