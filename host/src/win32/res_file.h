// The compiled resource (.res) format that rc.exe and windres write: a run of
// records, each a header (sizes, type, name, language) and its data, each part
// aligned to 4 bytes.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace maxhost {

// A resource type or name: a 16-bit ordinal or a string.
struct ResId {
  bool is_ordinal = true;
  std::uint16_t ordinal = 0;
  std::wstring name;

  static ResId Ordinal(std::uint16_t value) { return ResId{true, value, {}}; }
  static ResId Name(std::wstring value) { return ResId{false, 0, std::move(value)}; }
  // Win32 form: an integer resource (MAKEINTRESOURCE) or a string, where
  // "#123" stands for ordinal 123. Strings compare without regard to case.
  bool Matches(const wchar_t* win32_id) const;
  std::wstring ToString() const;
  bool operator==(const ResId& other) const;
};

struct Resource {
  ResId type;
  ResId name;
  std::uint16_t language = 0;
  std::uint16_t memory_flags = 0;
  std::uint32_t data_version = 0;
  std::uint32_t version = 0;
  std::uint32_t characteristics = 0;
  std::vector<std::uint8_t> data;
};

struct ResParseResult {
  bool ok = false;
  std::vector<Resource> resources;  // without the empty leading record
  std::string error;                // "ParseResFile: ..." when !ok
};

ResParseResult ParseResFile(std::span<const std::uint8_t> bytes);

}  // namespace maxhost
