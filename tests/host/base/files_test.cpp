#include "base/files.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace maxhost {
namespace {

class Files : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("maxbase_files_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::string Path(const char* name) const { return (dir_ / name).string(); }
  std::filesystem::path dir_;
};

TEST_F(Files, WritesAndReadsBackWithinTheLimit) {
  const std::string path = Path("a.bin");
  const std::string bytes("x\0y", 3);
  ASSERT_TRUE(WriteWholeFile("Save", path, bytes.data(), bytes.size()).ok);
  std::string back;
  const Status read = ReadRegularFile("Load", path, 3, back);
  ASSERT_TRUE(read.ok) << read.error;
  EXPECT_EQ(back, bytes);

  const Status tooBig = ReadRegularFile("Load", path, 2, back);
  EXPECT_FALSE(tooBig.ok);
  EXPECT_EQ(tooBig.error.rfind("Load: ", 0), 0u) << tooBig.error;
  EXPECT_NE(tooBig.error.find("larger than 2 bytes"), std::string::npos) << tooBig.error;
}

// Paths are UTF-8 on every platform: a file named with letters outside ASCII is written and
// read under its own name (on Windows not under the ANSI code page's reading of the bytes).
std::string Utf8(const std::filesystem::path& p) {
  const auto s = p.u8string();
  return std::string(s.begin(), s.end());
}

TEST_F(Files, NonAsciiNamesAreTheirOwn) {
  const std::string name = "d\xC3\xA9j\xC3\xA0-\xE6\x9C\xA8.bin";  // "déjà-木.bin"
  const std::string path = Utf8(dir_) + "/" + name;
  ASSERT_TRUE(WriteWholeFile("Save", path, "ok", 2).ok);
  std::string back;
  const Status read = ReadRegularFile("Load", path, 16, back);
  ASSERT_TRUE(read.ok) << read.error;
  EXPECT_EQ(back, "ok");
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir_))
    names.push_back(Utf8(entry.path().filename()));
  EXPECT_EQ(names, std::vector<std::string>{name});
}

// Devices, pipes and folders are refused before anything is read from them.
TEST_F(Files, RefusesWhatIsNotARegularFile) {
  std::vector<unsigned char> out;
#if !defined(_WIN32)  // Windows has no devices in the file system
  const Status device = ReadRegularFile("Load", "/dev/zero", 1 << 20, out);
  EXPECT_FALSE(device.ok);
  EXPECT_NE(device.error.find("not a regular file"), std::string::npos) << device.error;
#endif

#if !defined(_WIN32)  // Windows has no named pipes in the file system
  const std::string fifo = Path("pipe");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_FALSE(ReadRegularFile("Load", fifo, 1 << 20, out).ok);  // would block if opened
#endif

  const Status folder = CheckRegularFile("Load", dir_.string());
  EXPECT_FALSE(folder.ok);
  EXPECT_NE(folder.error.find("is a folder"), std::string::npos) << folder.error;

  const Status missing = CheckRegularFile("Load", Path("none"));
  EXPECT_FALSE(missing.ok);
  EXPECT_NE(missing.error.find("cannot be opened"), std::string::npos) << missing.error;
}

// A write that runs out of space is a failure, not a file reported as written.
TEST_F(Files, IncompleteWriteFails) {
  if (::access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full on this system";
  const std::string big(1 << 16, 'p');
  const Status full = WriteWholeFile("WritePng", "/dev/full", big.data(), big.size());
  EXPECT_FALSE(full.ok);
  EXPECT_NE(full.error.find("could not be written completely"), std::string::npos) << full.error;
  EXPECT_FALSE(WriteWholeFile("WritePng", Path("no/such/dir/x.png"), "a", 1).ok);
}

}  // namespace
}  // namespace maxhost
