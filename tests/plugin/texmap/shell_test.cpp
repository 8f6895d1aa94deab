// The library's exports, class descriptor and resource strings, as the host sees them.
#include <cwchar>

#include <maxversion.h>
#include <plugapi.h>

#include "resource.h"
#include "shell/tilvara.h"
#include "test_support.h"
#include "texmap/pavimo.h"

using tilvara_test::Plugin;

namespace {

// LibVersion of each host year's build: (release << 16) + (API number << 8) + revision.
ULONG ExpectedLibVersion() {
  switch (MAX_PRODUCT_YEAR_NUMBER) {
    case 2017:
      return 0x4A383000;  // 19000, 48
    case 2018:
      return 0x4E203200;  // 20000, 50
    case 2019:
      return 0x52083400;  // 21000, 52
    case 2020:
      return 0x55F03700;  // 22000, 55
    case 2021:
      return 0x59D83900;  // 23000, 57
    case 2022:
      return 0x5DC03C00;  // 24000, 60
    case 2023:
      return 0x61A83E00;  // 25000, 62
    case 2024:
      return 0x65904000;  // 26000, 64
    case 2025:
      return 0x69784200;  // 27000, 66
    case 2026:
      return 0x6D604400;  // 28000, 68
    case 2012:
      return 0x36B02600;  // 14000, 38
    case 2013:
      return 0x3A982800;  // 15000, 40
    case 2015:
      return 0x42682C00;  // 17000, 44
    default:
      return 0;
  }
}

std::wstring Text(const MCHAR* s) {
  return s ? std::wstring(s) : std::wstring(L"<null>");
}

class ShellTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(Plugin().desc) << Plugin().error; }
};

TEST_F(ShellTest, ExportsDescribeTheLibrary) {
  const auto& p = Plugin();
  ASSERT_TRUE(p.libDescription && p.libNumberClasses && p.libClassDesc && p.libVersion);
#if TILVARA_RELEASE == 201
  EXPECT_EQ(Text(p.libDescription()), L"Ostrum's Noise Map");
#else
  EXPECT_EQ(Text(p.libDescription()), L"Korvane Tilvara");
#endif
  EXPECT_EQ(p.libNumberClasses(), 1);
  EXPECT_EQ(p.libVersion(), ExpectedLibVersion());
}

// Every index names the one class.
TEST_F(ShellTest, AnyClassIndexGivesTheSameDescriptor) {
  const auto& p = Plugin();
  ASSERT_TRUE(p.libClassDesc);
  EXPECT_EQ(p.libClassDesc(0), p.libClassDesc(5));
  EXPECT_EQ(p.libClassDesc(-1), p.libClassDesc(0));
  EXPECT_EQ(static_cast<ClassDesc*>(p.desc), p.libClassDesc(0));
}

TEST_F(ShellTest, ClassIdentity) {
  ClassDesc2* cd = Plugin().desc;
  EXPECT_EQ(cd->IsPublic(), 1);
  EXPECT_EQ(cd->SuperClassID(), 0xC10u);
  EXPECT_TRUE(cd->ClassID() == Class_ID(0x55C6D763, 0xC637BB2E));
  EXPECT_EQ(cd->Category(), static_cast<const MCHAR*>(TEXMAP_CAT_COMP));
  EXPECT_EQ(cd->HInstance(), Plugin().module);
}

// Same text, but only the class name comes from the string table.
TEST_F(ShellTest, ClassNameFromResourcesInternalNameLiteral) {
  ClassDesc2* cd = Plugin().desc;
  EXPECT_EQ(Text(cd->ClassName()), L"Tilvara");
  EXPECT_EQ(Text(cd->InternalName()), L"Tilvara");
  EXPECT_NE(static_cast<const void*>(cd->ClassName()),
            static_cast<const void*>(cd->InternalName()));
}

#if MAX_VERSION_MAJOR >= 24
// From 2022 scripts know the class by its non-localized name: the same English text, not
// loaded from the string table (which the next load overwrites).
TEST_F(ShellTest, NonLocalizedClassNameIsTheLiteral) {
  ClassDesc2* cd = Plugin().desc;
  const MCHAR* plain = cd->NonLocalizedClassName();
  EXPECT_EQ(Text(plain), L"Tilvara");
  EXPECT_NE(static_cast<const void*>(plain), static_cast<const void*>(cd->ClassName()));
  ASSERT_NE(Plugin().libDescription(), nullptr);  // loads another string into the buffer
  EXPECT_EQ(Text(plain), L"Tilvara");
}
#endif

// The block descriptor registered itself with the class while the library loaded.
TEST_F(ShellTest, DescriptorCarriesTheBlockDescriptor) {
  ClassDesc2* cd = Plugin().desc;
  ASSERT_EQ(cd->NumParamBlockDescs(), 1);
  ParamBlockDesc2* pbd = cd->GetParamBlockDesc(0);
  ASSERT_NE(pbd, nullptr);
  EXPECT_EQ(pbd->ID, 0);
  EXPECT_EQ(std::wstring(pbd->int_name), L"params");
  EXPECT_EQ(pbd->cd, cd);
}

TEST_F(ShellTest, CreateMakesAMapEvenForLoading) {
  auto* map = static_cast<Texmap*>(Plugin().desc->Create(TRUE));
  ASSERT_NE(map, nullptr);
  EXPECT_TRUE(map->ClassID() == PAVIMO_CLASS_ID);
  ASSERT_NE(map->GetParamBlock(0), nullptr);
  EXPECT_FLOAT_EQ(map->GetParamBlock(0)->GetFloat(pb_rnd_hue), 0.0f);
  map->DeleteThis();
}

// The resource-string service of the plug-in's own objects, pointed at the loaded module.
class ResourceStringTest : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    saved_ = hInstance;
    hInstance = Plugin().module;
  }
  void TearDown() override { hInstance = saved_; }
  HINSTANCE saved_ = nullptr;
};

TEST_F(ResourceStringTest, KnownIdsGiveTheirText) {
  EXPECT_EQ(Text(GetString(IDS_PARAMS)), L"Parameters");
  EXPECT_EQ(Text(GetString(IDS_OCC_GAMMA)), L"Occurance Gamma");
  EXPECT_EQ(Text(GetString(IDS_CLASS_NAME)), L"Tilvara");
#if TILVARA_RELEASE == 201
  // The older table: another description, and no names for the three later parameters.
  EXPECT_EQ(Text(GetString(IDS_LIBDESCRIPTION)), L"Ostrum's Noise Map");
  EXPECT_EQ(GetString(IDS_SUB_COLOR), nullptr);
  EXPECT_EQ(GetString(IDS_USE_COLOR), nullptr);
  EXPECT_EQ(GetString(IDS_ROTATE), nullptr);
#else
  EXPECT_EQ(Text(GetString(IDS_LIBDESCRIPTION)), L"Korvane Tilvara");
  EXPECT_EQ(Text(GetString(IDS_SUB_COLOR)), L"Sub-texture Color");
  EXPECT_EQ(Text(GetString(IDS_USE_COLOR)), L"Use Color");
  EXPECT_EQ(Text(GetString(IDS_ROTATE)), L"Rotate");
#endif
}

TEST_F(ResourceStringTest, MissingIdGivesNull) {
  EXPECT_EQ(GetString(5), nullptr);
}

// One buffer serves every load, so a caller copies before loading another.
TEST_F(ResourceStringTest, EachLoadOverwritesTheSharedBuffer) {
  const MCHAR* first = GetString(IDS_SEED);
  const MCHAR* second = GetString(IDS_BLUR);
  EXPECT_EQ(first, second);
  EXPECT_EQ(Text(second), L"Blur");
}

TEST(ResourceStringWithoutModule, EveryLoadGivesNull) {
  HINSTANCE saved = hInstance;
  hInstance = nullptr;
  EXPECT_EQ(GetString(IDS_CLASS_NAME), nullptr);
  hInstance = saved;
}

}  // namespace
