// Text conversion and comparison shared by every host area and the command-line host.
// wchar_t is UTF-32 on Linux and UTF-16 on Windows; both are handled, surrogate pairs
// included. Malformed input never throws: each bad sequence becomes U+FFFD.
#pragma once

#include <string>
#include <string_view>

namespace maxhost {

std::wstring WideFromUtf8(std::string_view utf8);
std::string Utf8FromWide(std::wstring_view wide);
// UTF-16 code units (Win32 resources, .res files) to wide text and back.
std::wstring WideFromUtf16(std::u16string_view units);
std::u16string Utf16FromWide(std::wstring_view wide);

// Case folding for names that compare without regard to case (MAXScript names,
// resource types, class names): ASCII, Latin-1, Greek and Cyrillic letters.
wchar_t FoldCase(wchar_t c);
std::wstring FoldCase(std::wstring_view text);
bool EqualsNoCase(std::wstring_view a, std::wstring_view b);
bool EqualsNoCase(std::string_view a, std::string_view b);  // ASCII letters only
// <0, 0 or >0 as a sorts before, with or after b, ignoring case.
int CompareNoCase(std::wstring_view a, std::wstring_view b);

}  // namespace maxhost
