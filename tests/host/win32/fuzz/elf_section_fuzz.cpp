// Any bytes given as a library are judged loadable or not, and a section read from them
// lies inside the input.
#include <cstddef>
#include <cstdint>

#include "win32/elf_section.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> file(data, size);
  (void)maxhost::ElfLibraryProblem(file);
  const maxhost::ElfSectionResult r = maxhost::FindElfSection(file, ".rsrc");
  if (r.found == !r.error.empty()) __builtin_trap();
  if (r.bytes.size() > size) __builtin_trap();
  return 0;
}
