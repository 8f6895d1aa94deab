// Resources are read out of a library's ".rsrc" section; broken libraries give
// a reason, never a crash.
#include "win32/elf_section.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "win32/module.h"

namespace maxhost {
namespace {

const std::string kLibrary = FIXTURE_LIBRARY;

std::vector<std::uint8_t> ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string WriteTemp(const std::string& name, const std::vector<std::uint8_t>& bytes) {
  const std::filesystem::path p = std::filesystem::temp_directory_path() / name;
  std::ofstream out(p, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  return p.string();
}

TEST(ReadElfSection, FindsTheCompiledResourcesOfALibrary) {
  ElfSectionResult r = ReadElfSection(kLibrary, ".rsrc");
  ASSERT_TRUE(r.found) << r.error;
  // The section is the .res file as windres wrote it.
  EXPECT_EQ(r.bytes, ReadAll(FIXTURE_RES_FILE));
  ElfSectionResult missing = ReadElfSection(kLibrary, ".nothing");
  EXPECT_FALSE(missing.found);
  EXPECT_NE(missing.error.find("no .nothing section"), std::string::npos) << missing.error;
}

TEST(ReadElfSection, RefusesFilesThatAreNotElf) {
  EXPECT_NE(ReadElfSection("/nonexistent.dlt", ".rsrc").error.find("cannot be opened"),
            std::string::npos);
  const std::string text = WriteTemp("tilvara_not_elf.dlt", {'h', 'e', 'l', 'l', 'o'});
  EXPECT_FALSE(ReadElfSection(text, ".rsrc").found);
  std::vector<std::uint8_t> padded(64, 0);
  std::memcpy(padded.data(),
              "\x7f"
              "ELF",
              4);
  padded[4] = 1;  // 32-bit
  const std::string elf32 = WriteTemp("tilvara_elf32.dlt", padded);
  EXPECT_NE(ReadElfSection(elf32, ".rsrc").error.find("64-bit"), std::string::npos);
  std::filesystem::remove(text);
  std::filesystem::remove(elf32);
}

// Truncated libraries: the section is found whole or not at all.
TEST(ReadElfSection, TruncatedLibrariesNeverCrash) {
  const std::vector<std::uint8_t> bytes = ReadAll(kLibrary);
  ASSERT_GT(bytes.size(), 4096u);
  const std::vector<std::uint8_t> res = ReadAll(FIXTURE_RES_FILE);
  for (std::size_t cut : {std::size_t{10}, std::size_t{64}, bytes.size() / 3, bytes.size() / 2,
                          bytes.size() - 100, bytes.size() - 1}) {
    const std::string path =
        WriteTemp("tilvara_cut.dlt", std::vector<std::uint8_t>(bytes.begin(), bytes.begin() + cut));
    ElfSectionResult r = ReadElfSection(path, ".rsrc");
    if (r.found) {
      EXPECT_EQ(r.bytes, res);
    } else {
      EXPECT_FALSE(r.error.empty());
    }
    std::filesystem::remove(path);
  }
}

// A damaged resource section is read whole; the parser then names what is wrong with it.
TEST(ReadElfSection, ADamagedResourceSectionIsReadWholeAndRefusedByTheParser) {
  std::vector<std::uint8_t> bytes = ReadAll(kLibrary);
  const std::vector<std::uint8_t> res = ReadAll(FIXTURE_RES_FILE);
  auto at = std::search(bytes.begin(), bytes.end(), res.begin(), res.begin() + 64);
  ASSERT_NE(at, bytes.end());
  at[36] = 3;  // the second record's header size
  const std::string path = WriteTemp("tilvara_bad_rsrc.dlt", bytes);
  const ElfSectionResult section = ReadElfSection(path, ".rsrc");
  std::filesystem::remove(path);
  ASSERT_TRUE(section.found) << section.error;
  EXPECT_EQ(section.bytes.size(), res.size());
  const ResParseResult parsed = ParseResFile(section.bytes);
  EXPECT_FALSE(parsed.ok);
  EXPECT_EQ(parsed.error.rfind("ParseResFile: record 1", 0), 0u) << parsed.error;
}

// What the dynamic loader would map is checked first: a library whose headers promise
// more than the file holds, or that is not a shared library for this machine, is named.
TEST(ElfLibraryProblem, NamesWhatMakesAFileUnloadable) {
  const std::vector<std::uint8_t> good = ReadAll(kLibrary);
  ASSERT_GT(good.size(), 4096u);
  EXPECT_EQ(ElfLibraryProblem(good), "");
  auto patched = [&](std::size_t at, std::uint8_t value) {
    std::vector<std::uint8_t> bytes = good;
    bytes[at] = value;
    return ElfLibraryProblem(bytes);
  };
  EXPECT_EQ(patched(4, 1), "not a 64-bit ELF file");
  EXPECT_EQ(patched(5, 2), "not a little-endian ELF file");
  EXPECT_EQ(patched(0x10, 1), "not a shared library (ELF type 1)");
  EXPECT_EQ(patched(0x12, 40), "built for another architecture (ELF machine 40)");  // ARM
  EXPECT_EQ(patched(0x38, 0), "no program headers");  // e_phnum low byte
  EXPECT_EQ(ElfLibraryProblem({}), "too short for an ELF header");
  const std::uint8_t text[] = {'#', '!', '/', 'b', 'i', 'n'};
  EXPECT_EQ(ElfLibraryProblem(text), "not an ELF file");
  int truncatedRefused = 0;
  for (std::size_t cut = 64; cut < good.size(); cut += 501) {
    const std::string why = ElfLibraryProblem(std::span(good.data(), cut));
    EXPECT_FALSE(why.empty()) << "cut at " << cut;
    if (why.find("past the end of the file") != std::string::npos) ++truncatedRefused;
  }
  EXPECT_GT(truncatedRefused, 0);
}

}  // namespace
}  // namespace maxhost
