// Any bytes given as a bitmap resource decode into an image of the size it claims, or fail.
#include <cstddef>
#include <cstdint>

#include "win32/dib.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const maxhost::DibDecodeResult r = maxhost::DecodeDib(std::span(data, size));
  if (r.ok != r.error.empty()) __builtin_trap();
  if (r.ok && r.image.rgb.size() != std::size_t(r.image.width) * std::size_t(r.image.height) * 3)
    __builtin_trap();
  return 0;
}
