// PE32+ (64-bit Windows) image files as the host meets them: a plug-in library is checked
// before the system maps it, and its export table can be listed from the file alone.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace maxhost {

// Why these bytes cannot be a library for this host (not PE, not x86-64, not a DLL, a
// header or section past the end of the file); empty when they can.
std::string PeLibraryProblem(std::span<const std::uint8_t> file);

struct PeExportsResult {
  bool ok = false;
  std::string library_name;          // the name the export table gives the library
  std::vector<std::string> names;    // exported names, in the table's (sorted) order
  std::uint32_t function_count = 0;  // entries of the address table, named or not
  std::string error;                 // "ReadPeExports: ..." when !ok
};

// The export table of a PE32+ file in memory; a file without one has no names.
PeExportsResult ReadPeExports(std::span<const std::uint8_t> file);

}  // namespace maxhost
