#include "win32/pe_image.h"

#include <optional>

namespace maxhost {

namespace {

constexpr std::uint16_t kMachineAmd64 = 0x8664;
constexpr std::uint16_t kFileDll = 0x2000;
constexpr std::uint16_t kMagicPe32Plus = 0x20B;
constexpr std::size_t kCoffHeaderSize = 20;
constexpr std::size_t kSectionHeaderSize = 40;
constexpr std::size_t kDataDirectoriesOffset = 112;  // in the PE32+ optional header
constexpr std::size_t kExportTableSize = 40;

std::optional<std::uint32_t> U32(std::span<const std::uint8_t> b, std::size_t at) {
  if (at > b.size() || b.size() - at < 4) return std::nullopt;
  return static_cast<std::uint32_t>(b[at]) | (static_cast<std::uint32_t>(b[at + 1]) << 8) |
         (static_cast<std::uint32_t>(b[at + 2]) << 16) |
         (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

std::optional<std::uint16_t> U16(std::span<const std::uint8_t> b, std::size_t at) {
  if (at > b.size() || b.size() - at < 2) return std::nullopt;
  return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

struct Section {
  std::uint32_t virtual_address = 0;
  std::uint32_t virtual_size = 0;
  std::uint32_t raw_offset = 0;
  std::uint32_t raw_size = 0;
};

struct Headers {
  std::vector<Section> sections;
  std::size_t optional_header = 0;
  std::uint16_t optional_size = 0;
  std::uint16_t characteristics = 0;
  std::uint16_t machine = 0;
};

// Reads the headers; returns why they are unusable, or nothing.
std::string ReadHeaders(std::span<const std::uint8_t> b, Headers& h) {
  if (b.size() < 0x40 || b[0] != 'M' || b[1] != 'Z') return "not a PE file (no MZ header)";
  const std::uint32_t pe = *U32(b, 0x3C);
  if (pe > b.size() || b.size() - pe < 4 + kCoffHeaderSize || b[pe] != 'P' || b[pe + 1] != 'E' ||
      b[pe + 2] != 0 || b[pe + 3] != 0)
    return "not a PE file (no PE signature inside the file)";
  const std::size_t coff = pe + 4;
  h.machine = *U16(b, coff);
  const std::uint16_t count = *U16(b, coff + 2);
  h.optional_size = *U16(b, coff + 16);
  h.characteristics = *U16(b, coff + 18);
  h.optional_header = coff + kCoffHeaderSize;
  const std::size_t table = h.optional_header + h.optional_size;
  if (table > b.size() || (b.size() - table) / kSectionHeaderSize < count)
    return "the section table lies past the end of the file";
  const std::optional<std::uint16_t> magic = U16(b, h.optional_header);
  if (h.optional_size < kDataDirectoriesOffset || !magic || *magic != kMagicPe32Plus)
    return "not a 64-bit (PE32+) image";
  for (std::uint16_t i = 0; i < count; ++i) {
    const std::size_t at = table + i * kSectionHeaderSize;
    Section s{*U32(b, at + 12), *U32(b, at + 8), *U32(b, at + 20), *U32(b, at + 16)};
    if (s.raw_size > 0 && (s.raw_offset > b.size() || b.size() - s.raw_offset < s.raw_size))
      return "section " + std::to_string(i + 1) + " lies past the end of the file";
    h.sections.push_back(s);
  }
  return {};
}

// The file offset of an address of the loaded image, when a section holds it in the file.
std::optional<std::size_t> FileOffset(const Headers& h, std::uint32_t rva, std::size_t length) {
  for (const Section& s : h.sections) {
    const std::uint32_t span =
        s.raw_size < s.virtual_size || s.virtual_size == 0 ? s.raw_size : s.virtual_size;
    if (rva >= s.virtual_address && rva - s.virtual_address <= span &&
        span - (rva - s.virtual_address) >= length)
      return std::size_t{s.raw_offset} + (rva - s.virtual_address);
  }
  return std::nullopt;
}

std::optional<std::string> CString(std::span<const std::uint8_t> b, const Headers& h,
                                   std::uint32_t rva) {
  const std::optional<std::size_t> at = FileOffset(h, rva, 1);
  if (!at) return std::nullopt;
  std::string out;
  for (std::size_t i = *at; i < b.size(); ++i) {
    if (b[i] == 0) return out;
    out.push_back(static_cast<char>(b[i]));
  }
  return std::nullopt;  // runs off the end of the file
}

}  // namespace

std::string PeLibraryProblem(std::span<const std::uint8_t> file) {
  Headers h;
  if (std::string why = ReadHeaders(file, h); !why.empty()) return why;
  if (h.machine != kMachineAmd64) return "built for another machine than x86-64";
  if (!(h.characteristics & kFileDll)) return "not a library (a program or object file)";
  return {};
}

PeExportsResult ReadPeExports(std::span<const std::uint8_t> file) {
  PeExportsResult result;
  auto fail = [&](const std::string& why) {
    result.error = "ReadPeExports: " + why;
    return result;
  };
  Headers h;
  if (std::string why = ReadHeaders(file, h); !why.empty()) return fail(why);
  const std::optional<std::uint32_t> directories = U32(file, h.optional_header + 108);
  if (!directories || *directories == 0) {
    result.ok = true;  // no data directories, so no exports
    return result;
  }
  const std::uint32_t table_rva = *U32(file, h.optional_header + kDataDirectoriesOffset);
  if (table_rva == 0) {
    result.ok = true;
    return result;
  }
  const std::optional<std::size_t> table = FileOffset(h, table_rva, kExportTableSize);
  if (!table) return fail("the export table lies outside the file's sections");
  const std::optional<std::string> library = CString(file, h, *U32(file, *table + 12));
  if (!library) return fail("the export table's library name lies outside the file");
  result.library_name = *library;
  result.function_count = *U32(file, *table + 20);
  const std::uint32_t name_count = *U32(file, *table + 24);
  const std::uint32_t names_rva = *U32(file, *table + 32);
  if (name_count > result.function_count)
    return fail("more names (" + std::to_string(name_count) + ") than exported functions");
  const std::optional<std::size_t> names = FileOffset(h, names_rva, std::size_t{name_count} * 4);
  if (name_count > 0 && !names) return fail("the export name table lies outside the file");
  for (std::uint32_t i = 0; i < name_count; ++i) {
    const std::optional<std::string> name = CString(file, h, *U32(file, *names + 4 * i));
    if (!name) return fail("export name " + std::to_string(i) + " lies outside the file");
    result.names.push_back(*name);
  }
  result.ok = true;
  return result;
}

}  // namespace maxhost
