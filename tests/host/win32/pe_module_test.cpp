// Windows: libraries that the system loads. Their resources, read through the system's
// calls, are the compiled .res that the linker put in them; the system's resource calls
// answer for them, not the stand-in's records; imports can be bound to other functions.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "base/files.h"
#include "base/text.h"
#include "win32/module.h"
#include "win32/pe_image.h"
#include "win32/pe_module.h"

namespace maxhost {
namespace {

class LoadedFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    module_ = LoadLibraryW(WideFromUtf8(FIXTURE_LIBRARY).c_str());
    ASSERT_NE(module_, nullptr) << "error " << GetLastError();
  }
  void TearDown() override { FreeLibrary(module_); }
  HMODULE module_ = nullptr;
};

TEST_F(LoadedFixture, ResourcesReadThroughTheSystemAreTheCompiledOnes) {
  std::vector<unsigned char> bytes;
  ASSERT_TRUE(ReadRegularFile("test", FIXTURE_RES_FILE, 1 << 20, bytes).ok);
  const ResParseResult compiled = ParseResFile(bytes);
  ASSERT_TRUE(compiled.ok) << compiled.error;
  std::string error;
  const std::vector<Resource> linked = ReadModuleResources(module_, &error);
  ASSERT_EQ(linked.size(), compiled.resources.size()) << error;
  for (const Resource& want : compiled.resources) {
    bool found = false;
    for (const Resource& got : linked) {
      if (got.type == want.type && got.name == want.name && got.language == want.language) {
        found = true;
        EXPECT_EQ(got.data, want.data) << want.type.ToString() << " " << want.name.ToString();
      }
    }
    EXPECT_TRUE(found) << want.type.ToString() << " " << want.name.ToString();
  }
}

TEST_F(LoadedFixture, TheSystemAnswersForAModuleThatIsNoRecord) {
  ASSERT_EQ(FindModule(module_), nullptr);
  // The stand-in's calls hand the real module to the system, which finds its resources.
  EXPECT_NE(FindResourceW(module_, MAKEINTRESOURCEW(253), L"MAXSCRIPT"), nullptr);
  EXPECT_EQ(FindResourceW(module_, MAKEINTRESOURCEW(254), L"MAXSCRIPT"), nullptr);
  WCHAR buffer[64] = L"x";
  EXPECT_GT(LoadStringW(module_, 1, buffer, 64), 0);
  EXPECT_NE(buffer[0], L'x');
  const std::vector<Resource> none =
      ReadModuleResources(GetModuleHandleW(L"kernel32.dll"), nullptr);
  EXPECT_FALSE(none.empty()) << "kernel32 carries a version resource";
}

TEST(PeImage, TheFixtureLibraryIsALibraryForThisHost) {
  std::vector<unsigned char> bytes;
  ASSERT_TRUE(ReadRegularFile("test", FIXTURE_LIBRARY, 64 << 20, bytes).ok);
  EXPECT_EQ(PeLibraryProblem(bytes), "");
  bytes.resize(200);
  EXPECT_NE(PeLibraryProblem(bytes), "");
}

DWORD WINAPI FakeTickCount() {
  return 4242;
}

// Reads the import slot at each call, as code compiled elsewhere would.
[[gnu::noinline]] DWORD Ticks() {
  return GetTickCount();
}

// An import of the test program itself is bound elsewhere and back.
TEST(RedirectImport, BindsAnImportAndBindsItBack) {
  HMODULE self = GetModuleHandleW(nullptr);
  EXPECT_EQ(RedirectImport(self, "no_such.dll", "GetTickCount", nullptr), 0);
  EXPECT_EQ(RedirectImport(self, "kernel32.dll", "NoSuchFunction", nullptr), 0);
  void* real = reinterpret_cast<void*>(reinterpret_cast<void (*)()>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetTickCount")));
  ASSERT_EQ(
      RedirectImport(self, "KERNEL32.dll", "GetTickCount", reinterpret_cast<void*>(&FakeTickCount)),
      1);
  EXPECT_EQ(Ticks(), 4242u);
  ASSERT_EQ(RedirectImport(self, "kernel32.dll", "GetTickCount", real), 1);
  EXPECT_NE(Ticks(), 4242u);
}

}  // namespace
}  // namespace maxhost
