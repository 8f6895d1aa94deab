// ELF64 little-endian files as the host meets them: a plug-in library is checked before
// the dynamic loader maps it (a header, program header or section outside the file would
// fault inside the loader), and its compiled resources are read from a named section.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace maxhost {

// Why these bytes cannot be a shared library for this host (not ELF, 32-bit, big-endian,
// another architecture, not ET_DYN, a table or segment past the end); empty when they can.
std::string ElfLibraryProblem(std::span<const std::uint8_t> file);

struct ElfSectionResult {
  bool found = false;
  std::vector<std::uint8_t> bytes;
  std::string error;  // why nothing was found: no such section, not ELF, broken headers
};

// The contents of section `name`, from the section headers of an ELF64 file in memory.
ElfSectionResult FindElfSection(std::span<const std::uint8_t> file, const std::string& name);
// The same, read from a regular file (errors start with "ReadElfSection: ").
ElfSectionResult ReadElfSection(const std::string& path, const std::string& name);

}  // namespace maxhost
