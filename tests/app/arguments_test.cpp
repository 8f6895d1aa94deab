#include <gtest/gtest.h>

#include "arguments.h"

using namespace tilvara_app;

TEST(Arguments, AssignmentsKeepListsWhole) {
  const Assignment a = ParseAssignment("probability=2, 5,1");
  EXPECT_EQ(a.name, "probability");
  EXPECT_EQ(a.value, "2, 5,1");
  EXPECT_EQ(SplitList(a.value), (std::vector<std::string>{"2", "5", "1"}));
  EXPECT_TRUE(SplitList("").empty());
  EXPECT_THROW(ParseAssignment("seed"), ArgumentError);
  EXPECT_THROW(ParseAssignment("=3"), ArgumentError);
}

TEST(Arguments, NumbersAndSizesAreChecked) {
  EXPECT_DOUBLE_EQ(ParseNumber(" 2.5 "), 2.5);
  EXPECT_THROW(ParseNumber("2.5x"), ArgumentError);
  EXPECT_THROW(ParseNumber("nan"), ArgumentError);
  EXPECT_THROW(ParseNumber("1e999"), ArgumentError);
  EXPECT_EQ(ParseInteger("-7"), -7);
  EXPECT_THROW(ParseInteger("99999999999999999999"), ArgumentError);
  const ImageSize s = ParseSize("640x480");
  EXPECT_EQ(s.width, 640);
  EXPECT_EQ(s.height, 480);
  EXPECT_THROW(ParseSize("0x10"), ArgumentError);
  EXPECT_THROW(ParseSize("100000x10"), ArgumentError);
  EXPECT_THROW(ParseSize("640"), ArgumentError);
}

TEST(Arguments, KeyRangesAreBounded) {
  const KeyRange r = ParseKeyRange("-3:4");
  EXPECT_EQ(r.first, -3);
  EXPECT_EQ(r.last, 4);
  EXPECT_THROW(ParseKeyRange("4:3"), ArgumentError);
  EXPECT_THROW(ParseKeyRange("0:5000000"), ArgumentError);
  EXPECT_THROW(ParseKeyRange("2147483647:2147483648"), ArgumentError);
}

TEST(Arguments, SubTextures) {
  SubTextureSpec s = ParseSubTexture("solid:1,0.5,0");
  EXPECT_EQ(s.kind, SubTextureSpec::Kind::kSolid);
  EXPECT_FLOAT_EQ(s.color[1], 0.5f);
  EXPECT_FLOAT_EQ(s.color[3], 1.0f);
  s = ParseSubTexture("solid:1,0.5,0,0.3");
  EXPECT_FLOAT_EQ(s.color[3], 0.3f);
  EXPECT_EQ(ParseSubTexture("bitmap:/tmp/a b.png").file, "/tmp/a b.png");
  EXPECT_EQ(ParseSubTexture("checker").kind, SubTextureSpec::Kind::kChecker);
  EXPECT_EQ(ParseSubTexture("empty").kind, SubTextureSpec::Kind::kEmpty);
  EXPECT_THROW(ParseSubTexture("solid:1,2"), ArgumentError);
  EXPECT_THROW(ParseSubTexture("bitmap:"), ArgumentError);
  EXPECT_THROW(ParseSubTexture("noise"), ArgumentError);
}
