#include "win32/res_file.h"

#include <windows.h>

#include <cstring>

#include "base/text.h"

namespace maxhost {

namespace {

std::uint16_t ReadU16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
std::uint32_t ReadU32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

// Reads an ordinal (0xFFFF, value) or a NUL-terminated UTF-16 string from
// [pos, end); returns false when it runs past end.
bool ReadId(const std::uint8_t* base, std::size_t& pos, std::size_t end, ResId& out) {
  if (pos + 2 > end) return false;
  if (ReadU16(base + pos) == 0xFFFF) {
    if (pos + 4 > end) return false;
    out = ResId::Ordinal(ReadU16(base + pos + 2));
    pos += 4;
    return true;
  }
  std::u16string units;
  while (true) {
    if (pos + 2 > end) return false;
    const std::uint16_t u = ReadU16(base + pos);
    pos += 2;
    if (u == 0) break;
    units.push_back(static_cast<char16_t>(u));
  }
  out = ResId::Name(WideFromUtf16(units));
  return true;
}

std::size_t Align4(std::size_t v) {
  return (v + 3) & ~static_cast<std::size_t>(3);
}

}  // namespace

bool ResId::Matches(const wchar_t* id) const {
  if (IS_INTRESOURCE(id))
    return is_ordinal &&
           ordinal == static_cast<std::uint16_t>(reinterpret_cast<std::uintptr_t>(id));
  if (id[0] == L'#') {
    unsigned long value = 0;
    const wchar_t* p = id + 1;
    if (*p == 0) return false;
    for (; *p; ++p) {
      if (*p < L'0' || *p > L'9') return false;
      value = value * 10 + static_cast<unsigned long>(*p - L'0');
      if (value > 0xFFFF) return false;
    }
    return is_ordinal && ordinal == value;
  }
  return !is_ordinal && EqualsNoCase(name, id);
}

std::wstring ResId::ToString() const {
  return is_ordinal ? L"#" + std::to_wstring(ordinal) : name;
}

bool ResId::operator==(const ResId& other) const {
  if (is_ordinal != other.is_ordinal) return false;
  return is_ordinal ? ordinal == other.ordinal : EqualsNoCase(name, other.name);
}

ResParseResult ParseResFile(std::span<const std::uint8_t> bytes) {
  ResParseResult result;
  const std::uint8_t* base = bytes.data();
  const std::size_t size = bytes.size();
  auto fail = [&](std::size_t index, std::size_t at, const std::string& why) {
    result.ok = false;
    result.resources.clear();
    result.error = "ParseResFile: record " + std::to_string(index) + " at byte " +
                   std::to_string(at) + ": " + why;
    return result;
  };
  if (size == 0) {
    result.error = "ParseResFile: the resource data is empty";
    return result;
  }
  std::size_t pos = 0;
  for (std::size_t index = 0; pos < size; ++index) {
    // Trailing padding after the last record is allowed.
    if (size - pos < 32) {
      bool zeros = true;
      for (std::size_t i = pos; i < size; ++i) zeros = zeros && base[i] == 0;
      if (zeros && index > 0) break;
      return fail(index, pos, "truncated header (" + std::to_string(size - pos) + " bytes left)");
    }
    const std::uint32_t data_size = ReadU32(base + pos);
    const std::uint32_t header_size = ReadU32(base + pos + 4);
    if (header_size < 32)
      return fail(index, pos, "header size " + std::to_string(header_size) + " is below 32");
    if (header_size > size - pos)
      return fail(index, pos, "header size " + std::to_string(header_size) + " runs past the end");
    const std::size_t header_end = pos + header_size;
    Resource res;
    std::size_t p = pos + 8;
    if (!ReadId(base, p, header_end, res.type)) return fail(index, pos, "unterminated type");
    if (!ReadId(base, p, header_end, res.name)) return fail(index, pos, "unterminated name");
    p = Align4(p);
    if (p + 16 > header_end) return fail(index, pos, "header too short for its fixed fields");
    res.data_version = ReadU32(base + p);
    res.memory_flags = ReadU16(base + p + 4);
    res.language = ReadU16(base + p + 6);
    res.version = ReadU32(base + p + 8);
    res.characteristics = ReadU32(base + p + 12);
    if (data_size > size - header_end) {
      return fail(index, pos, "data size " + std::to_string(data_size) + " runs past the end");
    }
    res.data.assign(base + header_end, base + header_end + data_size);
    if (index == 0) {
      // The leading record marks a 32-bit .res: empty, type and name ordinal 0.
      if (data_size != 0 || !res.type.is_ordinal || res.type.ordinal != 0) {
        return fail(index, pos, "not a 32-bit resource file (missing the empty leading record)");
      }
    } else {
      result.resources.push_back(std::move(res));
    }
    pos = Align4(header_end + data_size);
  }
  result.ok = true;
  return result;
}

}  // namespace maxhost
