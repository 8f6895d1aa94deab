// The compiled resources of Tilvara.dlt hold what the rollout, the string
// service and the script bridge read, exactly.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <utility>
#include <vector>

#include "base/text.h"
#include <maxversion.h>

#include "win32/module.h"
#if defined(_WIN32)
#include "win32/pe_module.h"
#endif

// Release 2.01, for the hosts up to 2015, carries resources of its own.
#if MAX_VERSION_MAJOR <= 17
#define TILVARA_RESOURCES_201 1
#else
#define TILVARA_RESOURCES_201 0
#endif

namespace maxhost {
namespace {

// module_ answers the Win32 resource calls; record_ is the stand-in's parsed record of the
// same resources. On Windows module_ is Tilvara.dlt as the system maps it, so that the
// system's own calls read the resources the linker put in it, and record_ is what the
// system's enumeration of them finds; elsewhere both are the compiled .res.
class TilvaraResources : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
#if defined(_WIN32)
    module_ = LoadLibraryExW(WideFromUtf8(TILVARA_PLUGIN_FILE).c_str(), nullptr,
                             LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(module_, nullptr) << "error " << GetLastError();
    ASSERT_EQ(FindModule(module_), nullptr) << "the system, not the stand-in, must answer";
    std::string error;
    std::vector<Resource> resources = ReadModuleResources(module_, &error);
    ASSERT_FALSE(resources.empty()) << error;
    record_ = RegisterModuleResources(TILVARA_PLUGIN_FILE, std::move(resources));
#else
    std::string error;
    module_ = RegisterResFile(TILVARA_RES_FILE, &error);
    ASSERT_NE(module_, nullptr) << error;
    record_ = module_;
#endif
  }
  static void TearDownTestSuite() {
    UnregisterModule(record_);
#if defined(_WIN32)
    FreeLibrary(module_);
#endif
  }
  static HMODULE module_;
  static HMODULE record_;
};
HMODULE TilvaraResources::module_ = nullptr;
HMODULE TilvaraResources::record_ = nullptr;

using StringEntry = std::pair<UINT, const wchar_t*>;

// The strings of every release.
const StringEntry kStrings[] = {
    {4, L"Parameters"},          {50, L"Random seed"},
    {146, L"Key maps"},          {252, L"Tilvara"},
    {253, L"General Gamma"},     {254, L"General Hue"},
    {255, L"Random Gamma"},      {256, L"Random Hue"},
    {257, L"Random Saturation"}, {258, L"Occurance Gamma"},
    {259, L"Occurance Hue"},     {260, L"Occurance Saturation"},
    {261, L"Randomize by"},      {263, L"Blur"},
    {264, L"Filtering"},         {265, L"General Saturation"},
};
#if TILVARA_RESOURCES_201
// The older table: another description and no strings 1076 to 1078.
const StringEntry kReleaseStrings[] = {{1, L"Ostrum's Noise Map"}};
#else
const StringEntry kReleaseStrings[] = {
    {1, L"Korvane Tilvara"},
    {1076, L"Sub-texture Color"},
    {1077, L"Use Color"},
    {1078, L"Rotate"},
};
#endif

TEST_F(TilvaraResources, StringTableHoldsEveryIdAndText) {
  std::vector<StringEntry> expected(std::begin(kStrings), std::end(kStrings));
  expected.insert(expected.end(), std::begin(kReleaseStrings), std::end(kReleaseStrings));
  for (const auto& [id, text] : expected) {
    WCHAR buffer[512];
    const int n = LoadStringW(module_, id, buffer, 512);
    EXPECT_EQ(n, static_cast<int>(std::wcslen(text))) << "string " << id;
    EXPECT_STREQ(buffer, text) << "string " << id;
  }
  // Nothing beyond the listed ids.
  const Module* m = FindModule(record_);
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(m->strings.size(), expected.size());
}

TEST_F(TilvaraResources, UnlistedStringIdsAreMissing) {
  WCHAR buffer[16] = L"x";
  EXPECT_EQ(LoadStringW(module_, 5, buffer, 16), 0);
  EXPECT_EQ(buffer[0], L'\0');
  EXPECT_EQ(LoadStringW(module_, 262, buffer, 16), 0);
#if TILVARA_RESOURCES_201
  for (UINT id : {1076u, 1077u, 1078u}) EXPECT_EQ(LoadStringW(module_, id, buffer, 16), 0) << id;
#endif
}

#if TILVARA_RESOURCES_201
constexpr int kLogoId = 50000;
#else
constexpr int kLogoId = 103;
#endif

struct ExpectedControl {
  int id;
  const wchar_t* cls;
  const wchar_t* text;  // null: the text is the logo's ordinal
  std::uint32_t style;
  int x, y, cx, cy;
};

// The rollout's controls in template order, as release 2.04 has them.
const ExpectedControl kControls204[] = {
    {1006, L"Button", L"Pyramidal", 0x50000009, 91, 18, 46, 10},
    {1008, L"Button", L"Summed Area", 0x50000009, 91, 29, 60, 10},
    {1009, L"Button", L"None", 0x50000009, 91, 40, 33, 10},
    {1510, L"CustEdit", L"", 0x50010000, 166, 20, 35, 10},
    {1002, L"Button", L"Material ID", 0x50000009, 9, 71, 50, 10},
    {1003, L"Button", L"Object", 0x50000009, 57, 71, 37, 10},
    {1015, L"CustEdit", L"", 0x50010000, 166, 70, 35, 10},
    {1490, L"CustEdit", L"", 0x50010000, 66, 109, 35, 10},
    {1493, L"CustEdit", L"", 0x50010000, 66, 122, 35, 10},
    {1502, L"CustEdit", L"", 0x50010000, 66, 135, 35, 10},
    {1491, L"CustEdit", L"", 0x50010000, 116, 109, 35, 10},
    {1494, L"CustEdit", L"", 0x50010000, 116, 122, 35, 10},
    {1504, L"CustEdit", L"", 0x50010000, 116, 135, 35, 10},
    {1492, L"CustEdit", L"", 0x50010000, 166, 109, 35, 10},
    {1495, L"CustEdit", L"", 0x50010000, 166, 122, 35, 10},
    {1506, L"CustEdit", L"", 0x50010000, 166, 135, 35, 10},
    {1496, L"SpinnerControl", L"", 0x50000000, 102, 109, 7, 10},
    {-1, L"Static", L"Overall", 0x50020002, 19, 110, 39, 8},
    {1001, L"Button", L"Manage Textures", 0x50010000, 12, 14, 64, 15},
    {-1, L"Button", L"Color Adjustment", 0x50000007, 2, 88, 213, 61},
    {-1, L"Static", L"Random (+/-)", 0x50020002, 12, 123, 46, 8},
    {-1, L"Static", L"Distribution (%)", 0x50020002, 6, 136, 52, 8},
    {1497, L"SpinnerControl", L"", 0x50000000, 152, 109, 7, 10},
    {1498, L"SpinnerControl", L"", 0x50000000, 202, 109, 7, 10},
    {-1, L"Static", L"Gamma", 0x50020000, 75, 97, 25, 8},
    {-1, L"Static", L"Hue (\u00b0)", 0x50020000, 126, 97, 23, 8},
    {-1, L"Static", L"Saturation (%)", 0x50020000, 166, 97, 44, 8},
    {1499, L"SpinnerControl", L"", 0x50000000, 102, 122, 7, 10},
    {1500, L"SpinnerControl", L"", 0x50000000, 152, 122, 7, 10},
    {1501, L"SpinnerControl", L"", 0x50000000, 202, 122, 7, 10},
    {1503, L"SpinnerControl", L"", 0x50000000, 102, 135, 7, 10},
    {1505, L"SpinnerControl", L"", 0x50000000, 152, 135, 7, 10},
    {1507, L"SpinnerControl", L"", 0x50000000, 202, 135, 7, 10},
    {-1, L"Button", L"Randomize by", 0x50000007, 2, 58, 213, 29},
    {1017, L"SpinnerControl", L"", 0x50000000, 202, 70, 7, 10},
    {-1, L"Static", L"Seed", 0x50020000, 144, 71, 18, 8},
    {-1, L"Button", L"Bitmaps", 0x50000007, 2, 2, 213, 54},
    {-1, L"Button", L"Filtering", 0x50000007, 83, 8, 75, 44},
    {1511, L"SpinnerControl", L"", 0x50000000, 202, 20, 7, 10},
    {-1, L"Static", L"Blur", 0x50020000, 179, 10, 13, 8},
    {-1, L"Static", L"Tilvara Version", 0x50020000, 3, 187, 65, 8},
    {1007, L"Static", nullptr, 0x5000110e, 2, 150, 213, 36},
    {-1, L"Static", L"2.04", 0x50020000, 69, 187, 17, 8},
    {1010, L"Button", L"OstrumTile", 0x50000009, 94, 71, 50, 10},
    {1512, L"CustEdit", L"", 0x50010000, 166, 41, 35, 10},
    {1513, L"SpinnerControl", L"", 0x50000000, 202, 41, 7, 10},
    {-1, L"Static", L"Rotate", 0x50020000, 175, 32, 22, 8},
    {1005, L"Button", L"Use Textures", 0x50000009, 24, 34, 58, 10},
    {1082, L"Button", L"Use Color", 0x50000009, 24, 43, 50, 10},
    {1079, L"ColorSwatch", L"", 0x50010000, 7, 35, 15, 15},
};
#if TILVARA_RESOURCES_201
// Release 2.01 moves some controls, has a custom button for "Manage Textures" and other ids
// for the colour controls: its controls that differ, by position in the template.
const std::pair<std::size_t, ExpectedControl> kControls201[] = {
    {0, {1006, L"Button", L"Pyramidal", 0x50000009, 88, 18, 46, 10}},
    {1, {1008, L"Button", L"Summed Area", 0x50000009, 88, 29, 60, 10}},
    {2, {1009, L"Button", L"None", 0x50000009, 88, 40, 33, 10}},
    {3, {1510, L"CustEdit", L"", 0x50010000, 161, 21, 35, 10}},
    {18, {1079, L"CustButton", L"Manage Textures", 0x50010000, 11, 16, 68, 14}},
    {36, {-1, L"Button", L"Bitmaps", 0x50000007, 1, 3, 213, 54}},
    {37, {-1, L"Button", L"Filtering", 0x50000007, 83, 8, 69, 44}},
    {38, {1511, L"SpinnerControl", L"", 0x50000000, 197, 21, 7, 10}},
    {39, {-1, L"Static", L"Blur", 0x50020000, 173, 12, 13, 8}},
    {41, {1007, L"Static", nullptr, 0x5000110e, 2, 149, 213, 36}},
    {42, {-1, L"Static", L"2.01", 0x50020000, 69, 187, 17, 8}},
    {44, {1512, L"CustEdit", L"", 0x50010000, 161, 41, 35, 10}},
    {45, {1513, L"SpinnerControl", L"", 0x50000000, 197, 41, 7, 10}},
    {46, {-1, L"Static", L"Rotate", 0x50020000, 169, 32, 22, 8}},
    {47, {1081, L"Button", L"Use Textures", 0x50000009, 26, 34, 56, 10}},
    {48, {1082, L"Button", L"Use Color", 0x50000009, 26, 44, 47, 10}},
    {49, {1083, L"ColorSwatch", L"Color", 0x50010000, 10, 36, 14, 14}},
};
#endif

std::vector<ExpectedControl> ExpectedControls() {
  std::vector<ExpectedControl> controls(std::begin(kControls204), std::end(kControls204));
#if TILVARA_RESOURCES_201
  for (const auto& [position, control] : kControls201) controls.at(position) = control;
#endif
  return controls;
}

TEST_F(TilvaraResources, RolloutTemplateHeader) {
  DialogParseResult parsed = LoadDialogTemplate(record_, 114);
  ASSERT_TRUE(parsed.ok) << parsed.error;
  const DialogTemplate& d = parsed.dialog;
  EXPECT_TRUE(d.extended);
  EXPECT_EQ(d.style, 0x50000040u);
  EXPECT_EQ(d.ex_style, 0u);
  EXPECT_EQ(d.x, 0);
  EXPECT_EQ(d.y, 0);
  EXPECT_EQ(d.cx, 217);
  EXPECT_EQ(d.cy, 196);
  EXPECT_TRUE(d.has_font);
  EXPECT_EQ(d.point_size, 8);
  EXPECT_EQ(d.typeface, L"MS Sans Serif");
  EXPECT_EQ(d.italic, 0);
  EXPECT_EQ(d.charset, 0);
  EXPECT_TRUE(d.title.empty());
  EXPECT_TRUE(!d.menu.is_ordinal && d.menu.name.empty());
  EXPECT_TRUE(!d.window_class.is_ordinal && d.window_class.name.empty());
}

TEST_F(TilvaraResources, RolloutTemplateHasTheFiftyControlsInOrder) {
  DialogParseResult parsed = LoadDialogTemplate(record_, 114);
  ASSERT_TRUE(parsed.ok) << parsed.error;
  const auto& controls = parsed.dialog.controls;
  const std::vector<ExpectedControl> expected = ExpectedControls();
  ASSERT_EQ(controls.size(), 50u);
  ASSERT_EQ(expected.size(), controls.size());
  for (std::size_t i = 0; i < controls.size(); ++i) {
    const DialogControl& c = controls[i];
    const ExpectedControl& e = expected[i];
    SCOPED_TRACE("control #" + std::to_string(i + 1));
    EXPECT_EQ(c.id, e.id);
    EXPECT_TRUE(c.IsClass(e.cls));
    EXPECT_EQ(c.style, e.style);
    EXPECT_EQ(c.ex_style, 0u);
    EXPECT_EQ(c.x, e.x);
    EXPECT_EQ(c.y, e.y);
    EXPECT_EQ(c.cx, e.cx);
    EXPECT_EQ(c.cy, e.cy);
    if (e.text) {
      EXPECT_FALSE(c.text.is_ordinal);
      EXPECT_EQ(c.text.name, e.text);
    } else {
      EXPECT_TRUE(c.text.is_ordinal);
      EXPECT_EQ(c.text.ordinal, kLogoId);
    }
  }
}

TEST_F(TilvaraResources, StandardClassesAreOrdinalsAndCustomOnesNames) {
  DialogParseResult parsed = LoadDialogTemplate(record_, 114);
  ASSERT_TRUE(parsed.ok) << parsed.error;
  for (const DialogControl& c : parsed.dialog.controls) {
    if (c.IsClass(L"Button")) {
      EXPECT_TRUE(c.window_class.is_ordinal && c.window_class.ordinal == 0x0080);
    } else if (c.IsClass(L"Static")) {
      EXPECT_TRUE(c.window_class.is_ordinal && c.window_class.ordinal == 0x0082);
    } else {
      EXPECT_FALSE(c.window_class.is_ordinal) << c.id;
    }
  }
}

TEST_F(TilvaraResources, LogoIs318By56At24Bits) {
  const Resource* r = FindModuleResource(record_, ResId::Ordinal(2), ResId::Ordinal(kLogoId));
  ASSERT_NE(r, nullptr);
  ASSERT_GE(r->data.size(), 40u);
  std::uint16_t bpp = 0;
  std::uint32_t compression = 1;
  std::memcpy(&bpp, &r->data[14], 2);
  std::memcpy(&compression, &r->data[16], 4);
  EXPECT_EQ(bpp, 24);
  EXPECT_EQ(compression, 0u);  // BI_RGB
  DibDecodeResult decoded = LoadBitmapResource(record_, kLogoId);
  ASSERT_TRUE(decoded.ok) << decoded.error;
  EXPECT_EQ(decoded.image.width, 318);
  EXPECT_EQ(decoded.image.height, 56);
  EXPECT_EQ(decoded.image.source_bits_per_pixel, 24);
  // Not a blank image: the logo has both dark and light pixels.
  int dark = 0, light = 0;
  for (std::size_t i = 0; i < decoded.image.rgb.size(); i += 3) {
    const int sum = decoded.image.rgb[i] + decoded.image.rgb[i + 1] + decoded.image.rgb[i + 2];
    dark += sum < 200;
    light += sum > 600;
  }
  EXPECT_GT(dark, 1000);
  EXPECT_GT(light, 100);
}

TEST_F(TilvaraResources, ScriptResourceIsCrLfTextWithoutBomOrNul) {
#if TILVARA_RESOURCES_201
  // A resource of numeric type 256, id 10001; no resource of the later type.
  HRSRC info = FindResourceW(module_, MAKEINTRESOURCEW(10001), MAKEINTRESOURCEW(256));
  ASSERT_NE(info, nullptr);
  const Resource* r = FindModuleResource(record_, ResId::Ordinal(256), ResId::Ordinal(10001));
  ASSERT_NE(r, nullptr);
  EXPECT_TRUE(r->type.is_ordinal);
  EXPECT_EQ(FindResourceW(module_, MAKEINTRESOURCEW(253), L"Maxscript"), nullptr);
#else
  // The bridge asks for "Maxscript": type names compare without regard to case.
  HRSRC info = FindResourceW(module_, MAKEINTRESOURCEW(253), L"Maxscript");
  ASSERT_NE(info, nullptr);
  const Resource* r = FindModuleResource(record_, ResId::Name(L"MAXSCRIPT"), ResId::Ordinal(253));
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->type.name, L"MAXSCRIPT");
#endif
  EXPECT_EQ(r->language, 0x1009);
  const DWORD size = SizeofResource(module_, info);
  const auto* bytes = static_cast<const unsigned char*>(LockResource(LoadResource(module_, info)));
  ASSERT_NE(bytes, nullptr);
  ASSERT_GT(size, 3u);
  EXPECT_FALSE(bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF);
  int lines = 0;
  for (DWORD i = 0; i < size; ++i) {
    ASSERT_NE(bytes[i], 0) << "NUL at byte " << i;
    EXPECT_LT(bytes[i], 0x80) << "non-ASCII byte at " << i;
    if (bytes[i] == '\n') {
      ASSERT_GT(i, 0u);
      EXPECT_EQ(bytes[i - 1], '\r') << "bare LF at byte " << i;
      ++lines;
    }
  }
  EXPECT_GT(lines, 0);
  // Exactly the committed text, with its line ends made CR LF.
  std::ifstream in(TILVARA_MANAGER_SCRIPT_SOURCE, std::ios::binary);
  std::string source((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::string expected;
  for (char c : source) {
    if (c == '\r') continue;
    if (c == '\n') expected += '\r';
    expected += c;
  }
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes), size), expected);
}

TEST_F(TilvaraResources, MenuManifestAndLayoutArePresent) {
  EXPECT_NE(FindResourceW(module_, MAKEINTRESOURCEW(169), RT_MENU), nullptr);
  HRSRC manifest = FindResourceW(module_, MAKEINTRESOURCEW(1), RT_MANIFEST);
  ASSERT_NE(manifest, nullptr);
  const auto* text = static_cast<const char*>(LockResource(LoadResource(module_, manifest)));
  EXPECT_NE(std::string(text, SizeofResource(module_, manifest)).find("<assembly"),
            std::string::npos);
  EXPECT_NE(FindResourceW(module_, MAKEINTRESOURCEW(114), L"AFX_DIALOG_LAYOUT"), nullptr);
}

}  // namespace
}  // namespace maxhost
