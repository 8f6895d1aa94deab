#include "win32/elf_section.h"

#include <cstring>

#include "base/files.h"

namespace maxhost {

namespace {

constexpr std::size_t kHeaderSize = 64;
constexpr std::size_t kProgramHeaderSize = 56;
constexpr std::size_t kSectionHeaderSize = 64;
constexpr std::uint16_t kTypeShared = 3;  // ET_DYN
constexpr std::uint32_t kNoBits = 8;      // SHT_NOBITS: no contents in the file
constexpr std::size_t kMaxLibraryBytes = std::size_t{512} << 20;

#if defined(__aarch64__)
constexpr std::uint16_t kHostMachine = 183;  // EM_AARCH64
#else
constexpr std::uint16_t kHostMachine = 62;  // EM_X86_64
#endif

std::uint64_t ReadLe(const std::uint8_t* p, int bytes) {
  std::uint64_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | p[i];
  return v;
}

bool Inside(std::span<const std::uint8_t> file, std::uint64_t offset, std::uint64_t count) {
  return offset <= file.size() && count <= file.size() - offset;
}

// The fields of the file header that the checks use.
struct Header {
  std::uint16_t type, machine;
  std::uint64_t phoff, shoff;
  std::uint64_t phentsize, phnum, shentsize, shnum, shstrndx;
};

std::string ReadHeader(std::span<const std::uint8_t> file, Header& h) {
  constexpr std::uint8_t kMagic[4] = {0x7F, 'E', 'L', 'F'};
  if (file.size() >= 4 && std::memcmp(file.data(), kMagic, 4) != 0) return "not an ELF file";
  if (file.size() < kHeaderSize) return "too short for an ELF header";
  if (file[4] != 2) return "not a 64-bit ELF file";
  if (file[5] != 1) return "not a little-endian ELF file";
  const std::uint8_t* p = file.data();
  h.type = static_cast<std::uint16_t>(ReadLe(p + 0x10, 2));
  h.machine = static_cast<std::uint16_t>(ReadLe(p + 0x12, 2));
  h.phoff = ReadLe(p + 0x20, 8);
  h.shoff = ReadLe(p + 0x28, 8);
  h.phentsize = ReadLe(p + 0x36, 2);
  h.phnum = ReadLe(p + 0x38, 2);
  h.shentsize = ReadLe(p + 0x3A, 2);
  h.shnum = ReadLe(p + 0x3C, 2);
  h.shstrndx = ReadLe(p + 0x3E, 2);
  return {};
}

std::string SectionTableProblem(std::span<const std::uint8_t> file, const Header& h) {
  if (h.shnum == 0 || h.shoff == 0) return "no section headers";
  if (h.shentsize < kSectionHeaderSize || h.shstrndx >= h.shnum)
    return "broken section header table";
  if (!Inside(file, h.shoff, h.shentsize * h.shnum))
    return "section header table runs past the end of the file";
  return {};
}

std::string ProgramProblem(std::span<const std::uint8_t> file, const Header& h) {
  if (h.phnum == 0 || h.phentsize < kProgramHeaderSize) return "no program headers";
  if (!Inside(file, h.phoff, h.phentsize * h.phnum))
    return "program header table runs past the end of the file";
  for (std::uint64_t i = 0; i < h.phnum; ++i) {
    const std::uint8_t* ph = file.data() + h.phoff + i * h.phentsize;
    const std::uint64_t offset = ReadLe(ph + 0x08, 8);
    const std::uint64_t fileSize = ReadLe(ph + 0x20, 8);
    const std::uint64_t memSize = ReadLe(ph + 0x28, 8);
    if (!Inside(file, offset, fileSize))
      return "segment " + std::to_string(i) + " runs past the end of the file (truncated?)";
    if (ReadLe(ph, 4) == 1 && fileSize > memSize)  // PT_LOAD
      return "segment " + std::to_string(i) + " is larger in the file than in memory";
  }
  return {};
}

}  // namespace

std::string ElfLibraryProblem(std::span<const std::uint8_t> file) {
  Header h{};
  if (std::string why = ReadHeader(file, h); !why.empty()) return why;
  if (h.type != kTypeShared)
    return "not a shared library (ELF type " + std::to_string(h.type) + ")";
  if (h.machine != kHostMachine)
    return "built for another architecture (ELF machine " + std::to_string(h.machine) + ")";
  if (std::string why = ProgramProblem(file, h); !why.empty()) return why;
  if (std::string why = SectionTableProblem(file, h); !why.empty()) return why;
  for (std::uint64_t i = 0; i < h.shnum; ++i) {
    const std::uint8_t* sh = file.data() + h.shoff + i * h.shentsize;
    if (ReadLe(sh + 4, 4) == kNoBits) continue;
    if (!Inside(file, ReadLe(sh + 0x18, 8), ReadLe(sh + 0x20, 8)))
      return "section " + std::to_string(i) + " runs past the end of the file (truncated?)";
  }
  return {};
}

ElfSectionResult FindElfSection(std::span<const std::uint8_t> file, const std::string& name) {
  ElfSectionResult result;
  Header h{};
  result.error = ReadHeader(file, h);
  if (result.error.empty()) result.error = SectionTableProblem(file, h);
  if (!result.error.empty()) return result;
  auto field = [&](std::uint64_t index, int offset, int bytes) {
    return ReadLe(file.data() + h.shoff + index * h.shentsize + offset, bytes);
  };
  const std::uint64_t namesAt = field(h.shstrndx, 0x18, 8), namesSize = field(h.shstrndx, 0x20, 8);
  if (!Inside(file, namesAt, namesSize)) {
    result.error = "section name table runs past the end of the file";
    return result;
  }
  const auto names = file.subspan(namesAt, namesSize);
  for (std::uint64_t i = 0; i < h.shnum; ++i) {
    const std::uint64_t nameOffset = field(i, 0, 4);
    if (nameOffset >= names.size()) continue;
    const char* text = reinterpret_cast<const char*>(names.data() + nameOffset);
    const std::size_t maxLen = names.size() - nameOffset;
    if (strnlen(text, maxLen) == maxLen || name != text) continue;
    if (static_cast<std::uint32_t>(field(i, 4, 4)) == kNoBits) {
      result.error = "section " + name + " has no contents";
      return result;
    }
    const std::uint64_t at = field(i, 0x18, 8), size = field(i, 0x20, 8);
    if (!Inside(file, at, size)) {
      result.error = "section " + name + " runs past the end of the file";
      return result;
    }
    result.bytes.assign(file.begin() + static_cast<std::ptrdiff_t>(at),
                        file.begin() + static_cast<std::ptrdiff_t>(at + size));
    result.error.clear();
    result.found = true;
    return result;
  }
  result.error = "no " + name + " section";
  return result;
}

ElfSectionResult ReadElfSection(const std::string& path, const std::string& name) {
  std::vector<std::uint8_t> bytes;
  if (Status s = ReadRegularFile("ReadElfSection", path, kMaxLibraryBytes, bytes); !s) {
    ElfSectionResult result;
    result.error = s.error;
    return result;
  }
  ElfSectionResult result = FindElfSection(bytes, name);
  if (!result.error.empty()) result.error = "ReadElfSection: '" + path + "': " + result.error;
  return result;
}

}  // namespace maxhost
