// Feeds arbitrary bytes to the parser, each byte or UTF-16-like pair one character.
#include <cstddef>
#include <cstdint>
#include <string>

#include "maxscript/parser.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::wstring text;
  text.reserve(size);
  for (std::size_t i = 0; i < size; ++i) {
    // Bytes above 0x7F pair with the next byte, so that wide characters occur too.
    if (data[i] >= 0xF0 && i + 1 < size) {
      text += static_cast<wchar_t>(((data[i] & 0x0F) << 8 | data[i + 1]) + 0x80);
      ++i;
    } else {
      text += static_cast<wchar_t>(data[i]);
    }
  }
  maxhost::mxs::ParseResult r = maxhost::mxs::parse_program(text, L"fuzz.ms");
  for (const auto& e : r.errors)
    if (e.line < 1 || e.column < 1) __builtin_trap();
  return 0;
}
