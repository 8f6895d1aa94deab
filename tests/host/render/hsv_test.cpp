#include "hsv.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

void ExpectColor(const Color& got, const Color& want, float tol = 1e-5f) {
  EXPECT_NEAR(got.r, want.r, tol);
  EXPECT_NEAR(got.g, want.g, tol);
  EXPECT_NEAR(got.b, want.b, tol);
}

TEST(Hsv, PrimariesAndSecondariesSitOnTheHexcone) {
  ExpectColor(RGBtoHSV(Color(1.0f, 0.0f, 0.0f)), Color(0.0f, 1.0f, 1.0f));
  ExpectColor(RGBtoHSV(Color(1.0f, 1.0f, 0.0f)), Color(1.0f / 6, 1.0f, 1.0f));
  ExpectColor(RGBtoHSV(Color(0.0f, 1.0f, 0.0f)), Color(2.0f / 6, 1.0f, 1.0f));
  ExpectColor(RGBtoHSV(Color(0.0f, 1.0f, 1.0f)), Color(3.0f / 6, 1.0f, 1.0f));
  ExpectColor(RGBtoHSV(Color(0.0f, 0.0f, 1.0f)), Color(4.0f / 6, 1.0f, 1.0f));
  ExpectColor(RGBtoHSV(Color(1.0f, 0.0f, 1.0f)), Color(5.0f / 6, 1.0f, 1.0f));
}

TEST(Hsv, ValueIsTheLargestComponentAndSaturationItsRelativeSpread) {
  const Color hsv = RGBtoHSV(Color(0.2f, 0.8f, 0.4f));
  EXPECT_FLOAT_EQ(hsv.b, 0.8f);
  EXPECT_NEAR(hsv.g, 0.75f, 1e-6f);
  // Components above 1 (HDR) keep their value.
  EXPECT_FLOAT_EQ(RGBtoHSV(Color(3.0f, 1.0f, 1.0f)).b, 3.0f);
}

TEST(Hsv, GreysAndBlackHaveNoSaturationAndAnyHueGivesTheGrey) {
  ExpectColor(RGBtoHSV(Color(0.0f, 0.0f, 0.0f)), Color(0.0f, 0.0f, 0.0f));
  ExpectColor(RGBtoHSV(Color(0.5f, 0.5f, 0.5f)), Color(0.0f, 0.0f, 0.5f));
  for (float h : {0.0f, 0.2f, 0.5f, 0.99f, 1.0f, 7.3f, -2.0f})
    ExpectColor(HSVtoRGB(Color(h, 0.0f, 0.4f)), Color(0.4f, 0.4f, 0.4f), 0.0f);
}

TEST(Hsv, HueStaysBelowOneTurn) {
  // Magenta-red hues just below a full turn.
  for (float b : {1e-7f, 1e-4f, 0.01f}) {
    const Color hsv = RGBtoHSV(Color(1.0f, 0.0f, b));
    EXPECT_GE(hsv.r, 0.0f);
    EXPECT_LT(hsv.r, 1.0f);
  }
}

TEST(Hsv, RoundTripsForNonNegativeColours) {
  for (int r = 0; r <= 8; ++r)
    for (int g = 0; g <= 8; ++g)
      for (int b = 0; b <= 8; ++b) {
        const Color c(r / 8.0f, g / 8.0f, b / 8.0f * 1.5f);
        ExpectColor(HSVtoRGB(RGBtoHSV(c)), c);
      }
}

TEST(Hsv, HueOfOneTurnEqualsZeroAndHuesWrap) {
  ExpectColor(HSVtoRGB(Color(1.0f, 1.0f, 1.0f)), HSVtoRGB(Color(0.0f, 1.0f, 1.0f)), 0.0f);
  ExpectColor(HSVtoRGB(Color(1.0f / 3, 1.0f, 1.0f)), Color(0.0f, 1.0f, 0.0f));
  ExpectColor(HSVtoRGB(Color(2.0f / 3, 1.0f, 1.0f)), Color(0.0f, 0.0f, 1.0f));
  ExpectColor(HSVtoRGB(Color(1.0f / 3 + 2.0f, 1.0f, 1.0f)), Color(0.0f, 1.0f, 0.0f));
  ExpectColor(HSVtoRGB(Color(-1.0f / 3, 1.0f, 1.0f)), Color(0.0f, 0.0f, 1.0f));
  const Color nan = HSVtoRGB(Color(NAN, 1.0f, 1.0f));
  EXPECT_TRUE(std::isfinite(nan.r) && std::isfinite(nan.g) && std::isfinite(nan.b));
}

TEST(Hsv, HalfSaturationHalvesTheSpread) {
  // (1, 0.5, 0.5) is red at saturation 0.5; full saturation gives pure red, none gives white.
  const Color hsv = RGBtoHSV(Color(1.0f, 0.5f, 0.5f));
  ExpectColor(hsv, Color(0.0f, 0.5f, 1.0f));
  ExpectColor(HSVtoRGB(Color(hsv.r, 1.0f, hsv.b)), Color(1.0f, 0.0f, 0.0f));
  ExpectColor(HSVtoRGB(Color(hsv.r, 0.0f, hsv.b)), Color(1.0f, 1.0f, 1.0f));
}

}  // namespace
