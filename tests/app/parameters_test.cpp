// --set values as the command line parses and checks them against a block's table: units,
// ranges and 32-bit integers are refused with the assignment named, and the block keeps
// its value when a text is refused.
#include <gtest/gtest.h>

#include <cmath>

#include <imtl.h>
#include <iparamb2.h>
#include <plugapi.h>

#include "app_error.h"
#include "parameters.h"

namespace {

using tilvara_app::AppError;
using tilvara_app::SetParameter;

enum { kAmount, kSeed, kTint, kUse, kTurn, kLabel, kMaps, kWeights };

class ProbeDesc : public ClassDesc2 {
 public:
  int IsPublic() override { return 0; }
  void* Create(BOOL) override;
  const MCHAR* ClassName() override { return L"Probe"; }
#if MAX_VERSION_MAJOR >= 24
  const MCHAR* NonLocalizedClassName() override {
    return L"Probe";
  }
#endif
  SClass_ID SuperClassID() override { return TEXMAP_CLASS_ID; }
  Class_ID ClassID() override { return Class_ID(0x7E5A0A01, 0x1); }
  const MCHAR* Category() override { return L""; }
};
ProbeDesc& TheProbeDesc() {
  static ProbeDesc desc;
  return desc;
}

// clang-format off
ParamBlockDesc2& TheProbeBlock() {
  static ParamBlockDesc2 desc(
      0, L"params", 0, &TheProbeDesc(), P_AUTO_CONSTRUCT, 0,
      kAmount, L"amount", TYPE_FLOAT, 0, 0, p_default, 1.5f, p_range, 0.0f, 100.0f, p_end,
      kSeed, L"seed", TYPE_INT, 0, 0, p_default, 12345, p_range, 1, 99999, p_end,
      kTint, L"tint", TYPE_RGBA, 0, 0, p_default, Color(0.5f, 0.5f, 0.5f), p_end,
      kUse, L"use_tint", TYPE_BOOL, 0, 0, p_default, FALSE, p_end,
      kTurn, L"turn", TYPE_ANGLE, 0, 0, p_default, 0.0f, p_range, 0.0f, 360.0f, p_end,
      kLabel, L"label", TYPE_STRING, 0, 0, p_default, L"none", p_end,
      kMaps, L"maps", TYPE_TEXMAP_TAB, 0, P_VARIABLE_SIZE, 0, p_end,
      kWeights, L"weight", TYPE_INT_TAB, 0, P_VARIABLE_SIZE, 0, p_default, 1, p_end,
      p_end);
  return desc;
}
// clang-format on

class Probe : public Texmap {
 public:
  Probe() {
    TheProbeBlock();
    TheProbeDesc().MakeAutoParamBlocks(this);
  }
  ~Probe() override { DeleteAllRefs(); }
  Class_ID ClassID() override { return TheProbeDesc().ClassID(); }
  int NumRefs() override { return 1; }
  RefTargetHandle GetReference(int i) override { return i == 0 ? pblock : nullptr; }
  int NumParamBlocks() override { return 1; }
  IParamBlock2* GetParamBlock(int) override { return pblock; }
  IParamBlock2* GetParamBlockByID(BlockID) override { return pblock; }
  AColor EvalColor(ShadeContext&) override { return AColor(0, 0, 0, 1); }
  Point3 EvalNormalPerturb(ShadeContext&) override { return Point3(0, 0, 0); }
  void Update(TimeValue, Interval&) override {}
  void Reset() override {}
  Interval Validity(TimeValue) override { return FOREVER; }
  ParamDlg* CreateParamDlg(HWND, IMtlParams*) override { return nullptr; }
  RefTargetHandle Clone(RemapDir&) override { return nullptr; }

  IParamBlock2* pblock = nullptr;

 protected:
  void SetReference(int i, RefTargetHandle t) override {
    if (i == 0) pblock = static_cast<IParamBlock2*>(t);
  }
  RefResult NotifyRefChanged(const Interval&, RefTargetHandle, PartID&, RefMessage, BOOL) override {
    return REF_SUCCEED;
  }
};

void* ProbeDesc::Create(BOOL) {
  return new Probe();
}

// The message of the AppError that setting NAME=VALUE throws, or "" when it succeeds.
std::string Refusal(IParamBlock2* block, const std::string& name, const std::string& value) {
  try {
    SetParameter(block, name, value);
  } catch (const AppError& e) {
    return e.what();
  }
  return "";
}

class ParametersTest : public ::testing::Test {
 protected:
  void SetUp() override { block = map.pblock; }
  Probe map;
  IParamBlock2* block = nullptr;
};

TEST_F(ParametersTest, ValuesAreStoredInTheBlocksUnits) {
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(Refusal(block, "amount", "2.5"), "");
  EXPECT_FLOAT_EQ(block->GetFloat(kAmount, 0), 2.5f);
  EXPECT_EQ(Refusal(block, "turn", "90"), "");  // degrees in, radians stored
  EXPECT_NEAR(block->GetFloat(kTurn, 0), M_PI / 2, 1e-6);
  EXPECT_EQ(Refusal(block, "seed", "99999"), "");
  EXPECT_EQ(block->GetInt(kSeed, 0), 99999);
  EXPECT_EQ(Refusal(block, "use_tint", "on"), "");
  EXPECT_EQ(block->GetInt(kUse, 0), 1);
  EXPECT_EQ(Refusal(block, "tint", "1, 0.5, 0"), "");
  EXPECT_FLOAT_EQ(block->GetColor(kTint, 0).g, 0.5f);
  EXPECT_EQ(Refusal(block, "label", "caf\xC3\xA9"), "");
  EXPECT_STREQ(block->GetStr(kLabel, 0), L"caf\u00E9");
  EXPECT_EQ(Refusal(block, "weight", "3,2147483647"), "");
  ASSERT_EQ(block->Count(kWeights), 2);
  EXPECT_EQ(block->GetInt(kWeights, 0, 1), 2147483647);
}

TEST_F(ParametersTest, BadTextIsRefusedNamingTheAssignmentAndChangesNothing) {
  EXPECT_EQ(Refusal(block, "seed", "0"), "--set seed=0: out of range 1 to 99999");
  EXPECT_EQ(Refusal(block, "seed", "100000"), "--set seed=100000: out of range 1 to 99999");
  EXPECT_EQ(Refusal(block, "seed", "4294967296"),
            "--set seed=4294967296: '4294967296' is beyond 32 bits");
  EXPECT_EQ(Refusal(block, "seed", "1e12"), "--set seed=1e12: '1e12' is beyond 32 bits");
  EXPECT_EQ(Refusal(block, "seed", "7.5"), "--set seed=7.5: '7.5' is not an integer");
  EXPECT_EQ(block->GetInt(kSeed, 0), 12345);
  EXPECT_EQ(Refusal(block, "amount", "-0.5"), "--set amount=-0.5: out of range 0 to 100");
  EXPECT_EQ(Refusal(block, "turn", "360.5"), "--set turn=360.5: out of range 0 to 360");
  EXPECT_FLOAT_EQ(block->GetFloat(kAmount, 0), 1.5f);
  EXPECT_NE(Refusal(block, "weight", "1,-3000000000").find("beyond 32 bits"), std::string::npos);
  EXPECT_NE(Refusal(block, "maps", "1").find("holds maps"), std::string::npos);
  EXPECT_EQ(Refusal(block, "nothing", "1"), "--set nothing=1: no such parameter");
  EXPECT_NE(Refusal(block, "amount", "1,2").find("is a list"), std::string::npos);
  EXPECT_NE(Refusal(block, "tint", "1,2").find("three values"), std::string::npos);
  EXPECT_NE(Refusal(block, "use_tint", "maybe").find("not a boolean"), std::string::npos);
}

}  // namespace
