// Any bytes given as a compiled resource file parse into records that lie inside the input,
// or fail with a reason.
#include <cstddef>
#include <cstdint>

#include "win32/res_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const maxhost::ResParseResult r = maxhost::ParseResFile(std::span(data, size));
  if (r.ok != r.error.empty()) __builtin_trap();
  std::size_t total = 0;
  for (const maxhost::Resource& res : r.resources) {
    total += res.data.size();
    (void)res.type.ToString();
    (void)res.name.Matches(L"#1");
  }
  if (total > size) __builtin_trap();
  return 0;
}
