// Reads one named section out of an ELF64 little-endian file, from its section
// headers; this is where a built plug-in carries its compiled resources.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace maxhost {

struct ElfSectionResult {
  bool found = false;
  std::vector<std::uint8_t> bytes;
  std::string error;  // why nothing was found: no such section, not ELF, unreadable, broken headers
};

ElfSectionResult ReadElfSection(const std::string& path, const std::string& section_name);

}  // namespace maxhost
