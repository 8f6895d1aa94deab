// Feeds arbitrary bytes to the parser as UTF-8 or Latin-1 text.
#include <cstddef>
#include <cstdint>
#include <string>

#include "maxscript/engine.h"
#include "maxscript/parser.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string bytes(reinterpret_cast<const char*>(data), size);
  std::wstring text = maxhost::mxs::from_utf8(bytes);
  maxhost::mxs::ParseResult r = maxhost::mxs::parse_program(text, L"fuzz.ms");
  for (const auto& e : r.errors)
    if (e.line < 1 || e.column < 1) __builtin_trap();
  return 0;
}
