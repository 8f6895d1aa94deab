#include "win32/elf_section.h"

#include <cstring>
#include <fstream>

namespace maxhost {

namespace {

std::uint64_t ReadLe(const std::uint8_t* p, int bytes) {
  std::uint64_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | p[i];
  return v;
}

class FileReader {
 public:
  explicit FileReader(const std::string& path) : in_(path, std::ios::binary) {
    if (in_) {
      in_.seekg(0, std::ios::end);
      size_ = static_cast<std::uint64_t>(in_.tellg());
    }
  }
  bool IsOpen() const { return static_cast<bool>(in_); }
  std::uint64_t Size() const { return size_; }
  bool Read(std::uint64_t offset, std::uint64_t count, std::vector<std::uint8_t>& out) {
    if (offset > size_ || count > size_ - offset) return false;
    out.resize(count);
    in_.seekg(static_cast<std::streamoff>(offset));
    in_.read(reinterpret_cast<char*>(out.data()), static_cast<std::streamsize>(count));
    return static_cast<bool>(in_);
  }

 private:
  std::ifstream in_;
  std::uint64_t size_ = 0;
};

}  // namespace

ElfSectionResult ReadElfSection(const std::string& path, const std::string& section_name) {
  ElfSectionResult result;
  const std::string where = "read_elf_section(): " + path + ": ";
  FileReader file(path);
  if (!file.IsOpen()) {
    result.error = where + "cannot open the file";
    return result;
  }
  std::vector<std::uint8_t> header;
  if (!file.Read(0, 64, header)) {
    result.error = where + "too short for an ELF header";
    return result;
  }
  if (std::memcmp(header.data(),
                  "\x7f"
                  "ELF",
                  4) != 0) {
    result.error = where + "not an ELF file";
    return result;
  }
  if (header[4] != 2 || header[5] != 1) {
    result.error = where + "not a 64-bit little-endian ELF file";
    return result;
  }
  const std::uint64_t shoff = ReadLe(&header[0x28], 8);
  const std::uint64_t shentsize = ReadLe(&header[0x3A], 2);
  const std::uint64_t shnum = ReadLe(&header[0x3C], 2);
  const std::uint64_t shstrndx = ReadLe(&header[0x3E], 2);
  if (shnum == 0 || shoff == 0) {
    result.error = where + "no section headers";
    return result;
  }
  if (shentsize < 64 || shstrndx >= shnum) {
    result.error = where + "broken section header table";
    return result;
  }
  std::vector<std::uint8_t> sections;
  if (!file.Read(shoff, shentsize * shnum, sections)) {
    result.error = where + "section header table runs past the end of the file";
    return result;
  }
  auto field = [&](std::uint64_t index, int offset, int bytes) {
    return ReadLe(&sections[index * shentsize + offset], bytes);
  };
  std::vector<std::uint8_t> names;
  if (!file.Read(field(shstrndx, 0x18, 8), field(shstrndx, 0x20, 8), names)) {
    result.error = where + "section name table runs past the end of the file";
    return result;
  }
  for (std::uint64_t i = 0; i < shnum; ++i) {
    const std::uint64_t name_offset = field(i, 0, 4);
    if (name_offset >= names.size()) continue;
    const char* name = reinterpret_cast<const char*>(names.data() + name_offset);
    const std::size_t max_len = names.size() - name_offset;
    if (strnlen(name, max_len) == max_len || section_name != name) continue;
    const std::uint32_t type = static_cast<std::uint32_t>(field(i, 4, 4));
    if (type == 8) {  // SHT_NOBITS: no contents in the file
      result.error = where + "section " + section_name + " has no contents";
      return result;
    }
    if (!file.Read(field(i, 0x18, 8), field(i, 0x20, 8), result.bytes)) {
      result.bytes.clear();
      result.error = where + "section " + section_name + " runs past the end of the file";
      return result;
    }
    result.found = true;
    return result;
  }
  result.error = where + "no " + section_name + " section";
  return result;
}

}  // namespace maxhost
