// A plug-in folder with broken, foreign or hostile files: each is skipped with its own
// reason before the dynamic loader sees it, and the good library beside them loads.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "loader/plugin_loader.h"

namespace maxhost {
namespace {

namespace fs = std::filesystem;

std::vector<char> ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteAll(const fs::path& path, const std::vector<char>& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

class HostileFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("tilvara_hostile_" + std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    good_ = ReadAll(std::string(PROBE_GOOD_DIR) + "/probe_good.dlt");
    ASSERT_GT(good_.size(), 8192u);
  }
  void TearDown() override { fs::remove_all(dir_); }

  // The good probe with one byte changed.
  void WritePatched(const char* name, size_t at, char value) {
    std::vector<char> bytes = good_;
    bytes[at] = value;
    WriteAll(dir_ / name, bytes);
  }

  fs::path dir_;
  std::vector<char> good_;
};

TEST_F(HostileFolder, EveryBadFileIsSkippedWithItsReasonAndTheGoodOneLoads) {
  WriteAll(dir_ / "a_good.dlt", good_);
  WriteAll(dir_ / "truncated-4096.dlt", ReadAll(TRUNCATED_LIBRARY));
  WriteAll(dir_ / "half.dlt", std::vector<char>(good_.begin(), good_.begin() + good_.size() / 2));
  WriteAll(dir_ / "empty.dlt", {});
  WriteAll(dir_ / "text.dlt", {'h', 'e', 'l', 'l', 'o', '\n'});
  WritePatched("elf32.dlt", 4, 1);
  WritePatched("bigendian.dlt", 5, 2);
  WritePatched("arm.dlt", 0x12, 40);        // EM_ARM
  WritePatched("executable.dlt", 0x10, 2);  // ET_EXEC
  {
    std::vector<char> res = ReadAll(PROBE_RES_FILE);
    std::vector<char> bytes = good_;
    auto at = std::search(bytes.begin(), bytes.end(), res.begin(), res.begin() + 64);
    ASSERT_NE(at, bytes.end());
    at[36] = 3;  // the second record's header size
    WriteAll(dir_ / "bad_rsrc.dlt", bytes);
  }
  ASSERT_EQ(::mkfifo((dir_ / "pipe.dlt").c_str(), 0600), 0);
  fs::create_directory(dir_ / "folder.dlt");

  PluginLoader loader;
  const std::vector<PluginLoadResult> results = loader.LoadFolder(dir_.string());
  std::map<std::string, std::string> why;
  for (const PluginLoadResult& r : results)
    why[fs::path(r.path).filename().string()] = r.ok ? "ok" : r.error;
  const std::map<std::string, std::string> expected = {
      {"a_good.dlt", "ok"},
      {"truncated-4096.dlt", "past the end of the file"},
      {"half.dlt", "past the end of the file"},
      {"empty.dlt", "too short for an ELF header"},
      {"text.dlt", "not an ELF file"},
      {"elf32.dlt", "not a 64-bit ELF file"},
      {"bigendian.dlt", "not a little-endian ELF file"},
      {"arm.dlt", "built for another architecture (ELF machine 40)"},
      {"executable.dlt", "not a shared library (ELF type 2)"},
      {"bad_rsrc.dlt", "its resource section is damaged: ParseResFile: "},
      {"pipe.dlt", "not a regular file"},
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

TEST_F(HostileFolder, PathsThatAreNotFoldersSaySo) {
  PluginLoader loader;
  WriteAll(dir_ / "plain_file", {'x'});
  std::vector<PluginLoadResult> r = loader.LoadFolder((dir_ / "plain_file").string());
  ASSERT_EQ(r.size(), 1u);
  EXPECT_FALSE(r[0].ok);
  EXPECT_NE(r[0].error.find("not a plug-in folder (not a directory)"), std::string::npos)
      << r[0].error;
  r = loader.LoadFolder((dir_ / "absent").string());
  ASSERT_EQ(r.size(), 1u);
  EXPECT_NE(r[0].error.find("no such plug-in folder"), std::string::npos) << r[0].error;
}

TEST_F(HostileFolder, AnUnreadableFolderSaysSo) {
  if (::geteuid() == 0) GTEST_SKIP() << "permissions do not bind the superuser";
  PluginLoader loader;
  fs::create_directory(dir_ / "locked");
  ::chmod((dir_ / "locked").c_str(), 0);
  const std::vector<PluginLoadResult> r = loader.LoadFolder((dir_ / "locked").string());
  ::chmod((dir_ / "locked").c_str(), 0700);
  ASSERT_EQ(r.size(), 1u);
  EXPECT_NE(r[0].error.find("the folder cannot be read"), std::string::npos) << r[0].error;
}

}  // namespace
}  // namespace maxhost
