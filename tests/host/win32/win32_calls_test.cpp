// The resource, module and recorded calls of windows.h, over a module built
// from test resources.
#include <gtest/gtest.h>
#include <windows.h>

#include <cwchar>

#include "res_builder.h"
#include "win32/module.h"
#include "win32/records.h"
#include "win32/res_file.h"

namespace maxhost {
namespace {

using testing::ResBuilder;

class Win32Calls : public ::testing::Test {
 protected:
  void SetUp() override {
    ResBuilder b;
    // Block 1 holds ids 0..15, block 2 ids 16..31.
    b.Add(6, 1, 0x0409,
          ResBuilder::StringBlock({u"", u"Korvane Tilvara", u"", u"", u"Parameters"}));
    b.Add(6, 2, 0x0409, ResBuilder::StringBlock({u"sixteen", u"", u"\U0001F600 smile"}));
    b.AddNamedType(u"MAXSCRIPT", 253, 0x1009, {'c', 'a', 'n'});
    b.AddNamedType(u"MAXSCRIPT", 253, 0x0409, {'u', 's'});
    b.Add(10, 7, 0, {});
    ResParseResult parsed = ParseResFile(b.bytes());
    ASSERT_TRUE(parsed.ok) << parsed.error;
    module_ = RegisterModuleResources("/plugins/Test.dlt", std::move(parsed.resources));
    ClearShellExecuteLog();
    ClearMessageBoxLog();
  }
  void TearDown() override { UnregisterModule(module_); }
  HMODULE module_ = nullptr;
};

TEST_F(Win32Calls, LoadStringFindsIdsAcrossBlocks) {
  WCHAR buffer[64];
  EXPECT_EQ(LoadStringW(module_, 1, buffer, 64), 15);
  EXPECT_STREQ(buffer, L"Korvane Tilvara");
  EXPECT_EQ(LoadStringW(module_, 4, buffer, 64), 10);
  EXPECT_STREQ(buffer, L"Parameters");
  EXPECT_EQ(LoadStringW(module_, 16, buffer, 64), 7);
  EXPECT_STREQ(buffer, L"sixteen");
  // A surrogate pair becomes one wide character where wchar_t holds every character.
  if constexpr (sizeof(wchar_t) == 2) {
    EXPECT_EQ(LoadStringW(module_, 18, buffer, 64), 8);
    EXPECT_EQ(buffer[0], static_cast<wchar_t>(0xD83D));
    EXPECT_EQ(buffer[1], static_cast<wchar_t>(0xDE00));
  } else {
    EXPECT_EQ(LoadStringW(module_, 18, buffer, 64), 7);
    EXPECT_EQ(buffer[0], static_cast<wchar_t>(0x1F600));
  }
}

TEST_F(Win32Calls, LoadStringTruncatesToTheBuffer) {
  WCHAR buffer[8];
  std::wmemset(buffer, L'#', 8);
  EXPECT_EQ(LoadStringW(module_, 1, buffer, 8), 7);
  EXPECT_STREQ(buffer, L"Korvane");
  EXPECT_EQ(LoadStringW(module_, 1, buffer, 1), 0);
  EXPECT_EQ(buffer[0], L'\0');
}

TEST_F(Win32Calls, LoadStringWithZeroSizeGivesAPointerToTheString) {
  const wchar_t* text = nullptr;
  EXPECT_EQ(LoadStringW(module_, 4, reinterpret_cast<LPWSTR>(&text), 0), 10);
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(std::wstring(text, 10), L"Parameters");
}

TEST_F(Win32Calls, LoadStringOfMissingIdsAndBadHandlesIsZero) {
  WCHAR buffer[16] = L"stale";
  EXPECT_EQ(LoadStringW(module_, 0, buffer, 16), 0);  // empty entry
  EXPECT_EQ(buffer[0], L'\0');
  EXPECT_EQ(LoadStringW(module_, 5, buffer, 16), 0);
  EXPECT_EQ(LoadStringW(module_, 4000, buffer, 16), 0);
  EXPECT_EQ(LoadStringW(nullptr, 1, buffer, 16), 0);
  int not_a_module = 0;
  EXPECT_EQ(LoadStringW(reinterpret_cast<HINSTANCE>(&not_a_module), 1, buffer, 16), 0);
#if !defined(_WIN32)  // on Windows the system answers for handles that are not records
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
#endif
}

TEST_F(Win32Calls, FindResourceMatchesTypeNamesWithoutCaseAndPrefersTheLanguageAsked) {
  HRSRC any = FindResourceW(module_, MAKEINTRESOURCEW(253), L"Maxscript");
  ASSERT_NE(any, nullptr);
  HRSRC canada = FindResourceExW(module_, L"maxscript", MAKEINTRESOURCEW(253), 0x1009);
  HRSRC us = FindResourceExW(module_, L"MAXSCRIPT", L"#253", 0x0409);
  ASSERT_NE(canada, nullptr);
  ASSERT_NE(us, nullptr);
  EXPECT_EQ(SizeofResource(module_, canada), 3u);
  EXPECT_EQ(SizeofResource(module_, us), 2u);
  EXPECT_EQ(std::string(static_cast<const char*>(LockResource(LoadResource(module_, canada))), 3),
            "can");
  // A language the module lacks falls back to any.
  EXPECT_NE(FindResourceExW(module_, L"MAXSCRIPT", MAKEINTRESOURCEW(253), 0x0407), nullptr);
  EXPECT_EQ(FindResourceW(module_, MAKEINTRESOURCEW(254), L"MAXSCRIPT"), nullptr);
  EXPECT_EQ(FindResourceW(module_, MAKEINTRESOURCEW(253), RT_RCDATA), nullptr);
  EXPECT_EQ(FindResourceW(nullptr, MAKEINTRESOURCEW(253), L"MAXSCRIPT"), nullptr);
}

TEST_F(Win32Calls, EmptyResourcesLockAndBadHandlesFailCleanly) {
  HRSRC empty = FindResourceW(module_, MAKEINTRESOURCEW(7), RT_RCDATA);
  ASSERT_NE(empty, nullptr);
  EXPECT_EQ(SizeofResource(module_, empty), 0u);
  EXPECT_NE(LockResource(LoadResource(module_, empty)), nullptr);
  int junk = 0;
  EXPECT_EQ(LoadResource(module_, reinterpret_cast<HRSRC>(&junk)), nullptr);
#if !defined(_WIN32)  // the system's LockResource hands back any pointer it is given
  EXPECT_EQ(LockResource(&junk), nullptr);
#endif
  EXPECT_EQ(LockResource(nullptr), nullptr);
  EXPECT_EQ(SizeofResource(module_, nullptr), 0u);
}

TEST_F(Win32Calls, UnregisteredModulesAreNoLongerFound) {
  HMODULE other = RegisterModuleResources("/x/Other.dlt", {});
  EXPECT_NE(FindModule(other), nullptr);
  EXPECT_EQ(GetModuleHandleW(L"Other.dlt"), other);
  EXPECT_EQ(GetModuleHandleW(L"other"), other);
  EXPECT_TRUE(UnregisterModule(other));
  EXPECT_FALSE(UnregisterModule(other));
  EXPECT_EQ(FindModule(other), nullptr);
  EXPECT_EQ(GetModuleHandleW(L"Other.dlt"), nullptr);
  WCHAR buffer[8];
  EXPECT_EQ(LoadStringW(other, 1, buffer, 8), 0);
}

TEST_F(Win32Calls, ModuleFileNameIsThePathAndTruncates) {
  WCHAR buffer[64];
  EXPECT_EQ(GetModuleFileNameW(module_, buffer, 64), 17u);
  EXPECT_STREQ(buffer, L"/plugins/Test.dlt");
  EXPECT_EQ(GetModuleFileNameW(module_, buffer, 5), 5u);
  EXPECT_STREQ(buffer, L"/plu");
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_GT(GetModuleFileNameW(nullptr, buffer, 64), 0u);  // the executable
  EXPECT_TRUE(DisableThreadLibraryCalls(module_));
}

TEST_F(Win32Calls, ShellExecuteIsRecordedNotRun) {
  HINSTANCE result = ShellExecuteW(nullptr, L"open", L"https://example.com/tilvara", nullptr,
                                   nullptr, SW_SHOWNORMAL);
  EXPECT_GT(reinterpret_cast<INT_PTR>(result), 32);
  ShellExecuteW(nullptr, nullptr, L"b.txt", L"-x", L"/tmp", SW_HIDE);
  const std::vector<ShellExecuteRecord> log = ShellExecuteLog();
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[0].owner, nullptr);
  EXPECT_EQ(log[0].operation, std::optional<std::wstring>(L"open"));
  EXPECT_EQ(log[0].file, L"https://example.com/tilvara");
  EXPECT_FALSE(log[0].parameters.has_value());
  EXPECT_FALSE(log[0].directory.has_value());
  EXPECT_EQ(log[0].show_command, SW_SHOWNORMAL);
  EXPECT_FALSE(log[1].operation.has_value());
  EXPECT_EQ(log[1].parameters, std::optional<std::wstring>(L"-x"));
  ClearShellExecuteLog();
  EXPECT_TRUE(ShellExecuteLog().empty());
}

TEST_F(Win32Calls, MessageBoxIsRecordedAndAnswersAsSet) {
  EXPECT_EQ(MessageBoxW(nullptr, L"Script error", L"Tilva BitmapList", MB_OK | MB_ICONERROR), IDOK);
  SetMessageBoxAnswer(IDNO);
  EXPECT_EQ(MessageBoxW(nullptr, L"Sure?", nullptr, MB_YESNO), IDNO);
  SetMessageBoxAnswer(IDOK);
  const std::vector<MessageBoxRecord> log = MessageBoxLog();
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[0].text, L"Script error");
  EXPECT_EQ(log[0].caption, L"Tilva BitmapList");
  EXPECT_EQ(log[0].type, static_cast<UINT>(MB_OK | MB_ICONERROR));
  EXPECT_EQ(log[1].caption, L"Error");  // the system's caption for a null one
}

TEST(Win32Bitmaps, LoadBitmapDecodesAndDeleteObjectFrees) {
  std::string error;
  HMODULE m = RegisterResFile(FIXTURE_RES_FILE, &error);
  ASSERT_NE(m, nullptr) << error;
  HBITMAP logo = LoadBitmapW(m, MAKEINTRESOURCEW(103));
  ASSERT_NE(logo, nullptr);
  const RgbImage* image = BitmapFromHandle(logo);
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->width, 16);
  EXPECT_EQ(image->height, 16);
  EXPECT_TRUE(DeleteObject(logo));
  EXPECT_EQ(BitmapFromHandle(logo), nullptr);
  EXPECT_FALSE(DeleteObject(logo));
  EXPECT_EQ(LoadBitmapW(m, MAKEINTRESOURCEW(104)), nullptr);
  UnregisterModule(m);
}

TEST(Win32Modules, MissingAndBrokenResFilesAreRefused) {
  std::string error;
  EXPECT_EQ(RegisterResFile("/nonexistent/Fixture.res", &error), nullptr);
  EXPECT_EQ(error.rfind("RegisterResFile: ", 0), 0u) << error;
  EXPECT_NE(error.find("cannot be opened"), std::string::npos) << error;
  error.clear();
  // A text file is not a .res file.
  EXPECT_EQ(RegisterResFile(FIXTURE_SCRIPT_SOURCE, &error), nullptr);
  EXPECT_FALSE(error.empty());
}

TEST(Win32Cursors, SystemCursorsExist) {
  HCURSOR hand = LoadCursorW(nullptr, IDC_HAND);
  EXPECT_NE(hand, nullptr);
  EXPECT_NE(hand, LoadCursorW(nullptr, IDC_ARROW));
  EXPECT_EQ(LoadCursorW(nullptr, MAKEINTRESOURCEW(1)), nullptr);
  SetCursor(hand);
  EXPECT_EQ(SetCursor(nullptr), hand);
}

}  // namespace
}  // namespace maxhost
