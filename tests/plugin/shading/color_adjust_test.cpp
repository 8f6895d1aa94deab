#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "hexcone.h"
#include "shading/color_adjust.h"

using namespace tilvara;

namespace {
Rgba Adjust(Rgba base, const AdjustSettings& s, float ug = 0.5f, float uh = 0.5f, float us = 0.5f) {
  return AdjustColor<TestHexcone>(base, ug, uh, us, s);
}
void ExpectColor(Rgba c, float r, float g, float b, float a = 1.0f) {
  EXPECT_NEAR(c.r, r, 1e-6f);
  EXPECT_NEAR(c.g, g, 1e-6f);
  EXPECT_NEAR(c.b, b, 1e-6f);
  EXPECT_EQ(c.a, a);
}
}  // namespace

TEST(DistributionCurve, KneeAndEnds) {
  EXPECT_FLOAT_EQ(DistributionCurve(0.2f, 0.0f), -1.0f);
  EXPECT_FLOAT_EQ(DistributionCurve(0.2f, 0.4f), -0.8f);
  EXPECT_FLOAT_EQ(DistributionCurve(0.2f, 0.8f), -0.6f);
  EXPECT_FLOAT_EQ(DistributionCurve(0.2f, 1.0f), 1.0f);
  EXPECT_FLOAT_EQ(DistributionCurve(0.5f, 0.25f), -0.5f);
  // Extreme fractions pin the curve to an end whatever the draw.
  EXPECT_EQ(DistributionCurve(0.0f, 0.9f), -1.0f);
  EXPECT_EQ(DistributionCurve(0.000009f, 0.9f), -1.0f);
  EXPECT_EQ(DistributionCurve(1.0f, 0.0f), 1.0f);
  EXPECT_EQ(DistributionCurve(0.999995f, 0.0f), 1.0f);
}

TEST(AdjustColor, NeutralSettingsPassTheColourWithOpaqueAlpha) {
  AdjustSettings neutral;
  ExpectColor(Adjust({0.25f, 0.5f, 0.75f, 0.3f}, neutral), 0.25f, 0.5f, 0.75f);
  ExpectColor(Adjust({0, 0, 0, 0}, neutral), 0, 0, 0);
  // High dynamic range components are clamped in the end.
  ExpectColor(Adjust({2.0f, 0.5f, 0.5f, 1}, neutral), 1.0f, 0.5f, 0.5f);
}

TEST(AdjustColor, WorkedValues) {
  AdjustSettings s;
  s.allGamma = 2;
  ExpectColor(Adjust({0.25f, 0.5f, 1, 0.3f}, s), 0.0625f, 0.25f, 1);
  s = AdjustSettings{};
  s.allHue = 120;
  ExpectColor(Adjust({1, 0, 0, 1}, s), 0, 1, 0);
  s.allHue = -120;
  ExpectColor(Adjust({1, 0, 0, 1}, s), 0, 0, 1);
  s = AdjustSettings{};
  s.allSat = 200;
  ExpectColor(Adjust({1, 0.5f, 0.5f, 1}, s), 1, 0, 0);
  s.allSat = 0;
  ExpectColor(Adjust({1, 0.5f, 0.5f, 1}, s), 1, 1, 1);
}

TEST(AdjustColor, NonPositiveGammaIsTwoValued) {
  AdjustSettings s;
  s.allGamma = 0;
  ExpectColor(Adjust({0, 0.2f, 0.9f, 1}, s), 0, 1, 1);
  s.allGamma = 0.1f;
  s.rndGamma = 1.0f;  // a low draw takes the exponent below zero
  ExpectColor(Adjust({0.3f, 0, 0.01f, 1}, s, 0.0f), 1, 0, 1);
  s.allGamma = std::numeric_limits<float>::quiet_NaN();
  ExpectColor(Adjust({0.3f, 0, 0.5f, 1}, s), 1, 0, 1);
}

TEST(AdjustColor, DistributionPinsTheSpreadToOneEnd) {
  AdjustSettings s;
  s.rndHue = 30;
  s.fracHue = 0.0f;  // every key receives overall - random
  ExpectColor(Adjust({1, 0, 0, 1}, s, 0.5f, 0.9f), 1, 0, 0.5f);
  s.fracHue = 1.0f;  // overall + random
  ExpectColor(Adjust({1, 0, 0, 1}, s, 0.5f, 0.1f), 1, 0.5f, 0);

  s = AdjustSettings{};
  s.allGamma = 2;
  s.rndGamma = 1;
  s.fracGamma = 1.0f - 1.0f;  // distribution 100 %: the brighter end, exponent 1
  ExpectColor(Adjust({0.5f, 0.5f, 0.5f, 1}, s, 0.7f), 0.5f, 0.5f, 0.5f);
}

TEST(AdjustColor, HueStaysInOneTurnAndGreyIgnoresHueAndSaturation) {
  AdjustSettings s;
  s.allHue = -360;
  s.rndHue = 15;
  for (float uh : {0.0f, 0.3f, 0.5f, 1.0f}) {
    const Rgba c = Adjust({0.8f, 0.2f, 0.1f, 1}, s, 0.5f, uh);
    EXPECT_GE(c.r, 0.0f);
    EXPECT_LE(c.r, 1.0f);
  }
  s = AdjustSettings{};
  s.allHue = 200;
  s.allSat = 5000;
  s.rndSat = 3000;
  ExpectColor(Adjust({0.4f, 0.4f, 0.4f, 0.1f}, s, 0.5f, 0.2f, 0.9f), 0.4f, 0.4f, 0.4f);
}
