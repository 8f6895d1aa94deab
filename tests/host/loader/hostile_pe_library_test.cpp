// Windows: files in the plug-in folder that are not libraries for this host are skipped
// with their reason before the system maps them, and a good library beside them loads.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "loader/plugin_loader.h"
#include "win32/module.h"
#include "win32/pe_image.h"

namespace maxhost {
namespace {

namespace fs = std::filesystem;

std::vector<char> ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteAll(const fs::path& path, const std::vector<char>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

class HostilePeFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ =
        fs::temp_directory_path() / ("tilvara_hostile_pe_" + std::to_string(GetCurrentProcessId()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    good_ = ReadAll(fs::path(PROBE_GOOD_DIR) / "probe_good.dlt");
    ASSERT_GT(good_.size(), 4096u);
    std::memcpy(&pe_, good_.data() + 0x3C, sizeof pe_);
    ASSERT_LT(pe_ + 24u, good_.size());
  }
  void TearDown() override { fs::remove_all(dir_); }

  // The good probe with a 16-bit field of its headers changed.
  void WritePatched(const char* name, std::size_t at, std::uint16_t value) {
    std::vector<char> bytes = good_;
    std::memcpy(bytes.data() + at, &value, sizeof value);
    WriteAll(dir_ / name, bytes);
  }

  fs::path dir_;
  std::vector<char> good_;
  std::uint32_t pe_ = 0;
};

TEST_F(HostilePeFolder, EveryBadFileIsSkippedWithItsReasonAndTheGoodOneLoads) {
  WriteAll(dir_ / "a_good.dlt", good_);
  WriteAll(dir_ / "headers_only.dlt", std::vector<char>(good_.begin(), good_.begin() + 1024));
  WriteAll(dir_ / "half.dlt", std::vector<char>(good_.begin(), good_.begin() + good_.size() / 2));
  WriteAll(dir_ / "empty.dlt", {});
  WriteAll(dir_ / "text.dlt", {'n', 'o', 't', ' ', 'a', ' ', 'D', 'L', 'L', '\n'});
  WritePatched("i386.dlt", pe_ + 4, 0x014C);          // IMAGE_FILE_MACHINE_I386
  WritePatched("program.dlt", pe_ + 4 + 18, 0x0022);  // executable, no IMAGE_FILE_DLL
  WritePatched("pe32.dlt", pe_ + 24, 0x010B);         // a 32-bit optional header
  WritePatched("no_signature.dlt", pe_, 0x4550 + 1);  // "QE"
  fs::create_directory(dir_ / "folder.dlt");

  PluginLoader loader;
  std::map<std::string, std::string> why;
  for (const PluginLoadResult& r : loader.LoadFolder(dir_.string()))
    why[fs::path(r.path).filename().string()] = r.ok ? "ok" : r.error;
  const std::map<std::string, std::string> expected = {
      {"a_good.dlt", "ok"},
      {"headers_only.dlt", "past the end of the file"},
      {"half.dlt", "past the end of the file"},
      {"empty.dlt", "not a PE file (no MZ header)"},
      {"text.dlt", "not a PE file (no MZ header)"},
      {"i386.dlt", "built for another machine than x86-64"},
      {"program.dlt", "not a library"},
      {"pe32.dlt", "not a 64-bit (PE32+) image"},
      {"no_signature.dlt", "no PE signature"},
      {"folder.dlt", "is a folder"},
  };
  ASSERT_EQ(why.size(), expected.size());
  for (const auto& [file, reason] : expected) {
    ASSERT_EQ(why.count(file), 1u) << file;
    if (reason == "ok") {
      EXPECT_EQ(why[file], "ok") << file;
      continue;
    }
    EXPECT_EQ(why[file].rfind("LoadPlugin: ", 0), 0u) << why[file];
    EXPECT_NE(why[file].find(file), std::string::npos) << why[file];
    EXPECT_NE(why[file].find(reason), std::string::npos) << file << ": " << why[file];
  }
  ASSERT_EQ(loader.Libraries().size(), 1u);
  EXPECT_EQ(loader.Libraries()[0].description, L"Loader Probe");
}

// The probe's export table, read from its file, holds the entry points by plain name.
TEST_F(HostilePeFolder, TheExportTableIsReadFromTheFile) {
  const std::vector<std::uint8_t> bytes(good_.begin(), good_.end());
  const PeExportsResult exports = ReadPeExports(bytes);
  ASSERT_TRUE(exports.ok) << exports.error;
  for (const char* name : {"LibDescription", "LibNumberClasses", "LibClassDesc", "LibVersion",
                           "LibInitialize", "LibShutdown"}) {
    EXPECT_NE(std::find(exports.names.begin(), exports.names.end(), name), exports.names.end())
        << name;
  }
  const std::vector<std::uint8_t> cut(bytes.begin(), bytes.begin() + 1024);
  EXPECT_FALSE(ReadPeExports(cut).ok);
}

// The system hands out one module for a library loaded twice; its record lives as long as
// either load.
TEST(LoadedTwice, TheRecordLivesUntilTheLastLoaderLetsGo) {
  const std::string path = std::string(PROBE_GOOD_DIR) + "/probe_good.dlt";
  PluginLoader first;
  ASSERT_TRUE(first.LoadPlugin(path).ok);
  {
    PluginLoader second;
    ASSERT_TRUE(second.LoadPlugin(path).ok);
    EXPECT_EQ(second.Libraries()[0].instance, first.Libraries()[0].instance);
  }
  const Module* record = FindModule(first.Libraries()[0].instance);
  ASSERT_NE(record, nullptr);
  EXPECT_FALSE(record->resources.empty());
  const HINSTANCE instance = first.Libraries()[0].instance;
  first.UnloadAll();
  EXPECT_EQ(FindModule(instance), nullptr);
}

}  // namespace
}  // namespace maxhost
