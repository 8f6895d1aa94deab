#include "base/text.h"

#include <cstdint>

namespace maxhost {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsSurrogate(char32_t c) {
  return c >= 0xD800 && c <= 0xDFFF;
}

// Appends one code point as wchar_t units (one unit, or a surrogate pair when
// wchar_t is 16 bits wide).
void AppendWide(std::wstring& out, char32_t cp) {
  if (cp > 0x10FFFF || IsSurrogate(cp)) cp = kReplacement;
  if constexpr (sizeof(wchar_t) == 2) {
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<wchar_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<wchar_t>(0xDC00 + (cp & 0x3FF)));
      return;
    }
  }
  out.push_back(static_cast<wchar_t>(cp));
}

// Reads one code point from wide text at i (advancing i); lone surrogates give U+FFFD.
template <typename Unit>
char32_t NextCodePoint(std::basic_string_view<Unit> text, std::size_t& i, bool pairs) {
  const char32_t u = static_cast<char32_t>(static_cast<std::make_unsigned_t<Unit>>(text[i++]));
  if (!pairs) return (u > 0x10FFFF || IsSurrogate(u)) ? kReplacement : u;
  if (u >= 0xD800 && u <= 0xDBFF && i < text.size()) {
    const char32_t low = static_cast<char32_t>(static_cast<std::make_unsigned_t<Unit>>(text[i]));
    if (low >= 0xDC00 && low <= 0xDFFF) {
      ++i;
      return 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00);
    }
  }
  return IsSurrogate(u) ? kReplacement : u;
}

// Length of a UTF-8 sequence from its lead byte, 0 when the byte cannot lead one.
int SequenceLength(unsigned char lead) {
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 0;
}

}  // namespace

std::wstring WideFromUtf8(std::string_view s) {
  std::wstring out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size();) {
    const unsigned char lead = static_cast<unsigned char>(s[i]);
    const int length = SequenceLength(lead);
    if (length == 1) {
      out.push_back(static_cast<wchar_t>(lead));
      ++i;
      continue;
    }
    char32_t cp = length == 2 ? lead & 0x1F : length == 3 ? lead & 0x0F : lead & 0x07;
    int k = 1;
    for (; length > 0 && k < length && i + k < s.size(); ++k) {
      const unsigned char c = static_cast<unsigned char>(s[i + k]);
      if ((c & 0xC0) != 0x80) break;
      cp = (cp << 6) | (c & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are malformed too.
    const bool complete = length > 0 && k == length;
    const bool overlong = (length == 3 && cp < 0x800) || (length == 4 && cp < 0x10000);
    if (!complete || overlong || cp > 0x10FFFF || IsSurrogate(cp)) {
      out.push_back(static_cast<wchar_t>(kReplacement));
      i += length > 0 ? k : 1;
      continue;
    }
    AppendWide(out, cp);
    i += length;
  }
  return out;
}

std::string Utf8FromWide(std::wstring_view w) {
  std::string out;
  out.reserve(w.size());
  for (std::size_t i = 0; i < w.size();) {
    const char32_t cp = NextCodePoint(w, i, sizeof(wchar_t) == 2);
    if (cp < 0x80) {
      out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
  }
  return out;
}

std::wstring WideFromUtf16(std::u16string_view units) {
  std::wstring out;
  out.reserve(units.size());
  for (std::size_t i = 0; i < units.size();) AppendWide(out, NextCodePoint(units, i, true));
  return out;
}

std::u16string Utf16FromWide(std::wstring_view w) {
  std::u16string out;
  out.reserve(w.size());
  for (std::size_t i = 0; i < w.size();) {
    char32_t cp = NextCodePoint(w, i, sizeof(wchar_t) == 2);
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(cp));
    }
  }
  return out;
}

wchar_t FoldCase(wchar_t c) {
  const char32_t u = static_cast<char32_t>(c);
  if (u >= U'A' && u <= U'Z') return static_cast<wchar_t>(u + 32);
  if (u < 0xC0) return c;
  // Latin-1: À..Þ except the multiplication sign.
  if (u <= 0xDE) return u == 0xD7 ? c : static_cast<wchar_t>(u + 32);
  // Latin Extended-A: upper and lower case alternate in pairs.
  if (u >= 0x100 && u <= 0x17F && u != 0x130 && u != 0x131 && u != 0x138 && u != 0x149 &&
      u != 0x17F) {
    if (u == 0x178) return static_cast<wchar_t>(0xFF);
    const bool oddUpper = (u >= 0x139 && u <= 0x148) || (u >= 0x179 && u <= 0x17E);
    if (oddUpper) return (u & 1) ? static_cast<wchar_t>(u + 1) : c;
    return (u & 1) ? c : static_cast<wchar_t>(u + 1);
  }
  // Greek capitals (no final sigma gap at 0x3A2).
  if (u >= 0x391 && u <= 0x3AB && u != 0x3A2) return static_cast<wchar_t>(u + 32);
  // Cyrillic: Ѐ..Џ and А..Я.
  if (u >= 0x400 && u <= 0x40F) return static_cast<wchar_t>(u + 80);
  if (u >= 0x410 && u <= 0x42F) return static_cast<wchar_t>(u + 32);
  return c;
}

std::wstring FoldCase(std::wstring_view text) {
  std::wstring out(text);
  for (wchar_t& c : out) c = FoldCase(c);
  return out;
}

bool EqualsNoCase(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (FoldCase(a[i]) != FoldCase(b[i])) return false;
  return true;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x + 32);
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y + 32);
    if (x != y) return false;
  }
  return true;
}

int CompareNoCase(std::wstring_view a, std::wstring_view b) {
  const std::size_t n = a.size() < b.size() ? a.size() : b.size();
  for (std::size_t i = 0; i < n; ++i) {
    const auto x = static_cast<std::uint32_t>(FoldCase(a[i]));
    const auto y = static_cast<std::uint32_t>(FoldCase(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

}  // namespace maxhost
