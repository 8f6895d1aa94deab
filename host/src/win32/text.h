// Conversions between the encodings that meet in Win32 resources: UTF-16 in
// .res files, wchar_t (UTF-32 here) in the API, UTF-8 in file names.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace maxhost {

// Decodes UTF-16 code units; an unpaired surrogate becomes U+FFFD.
std::wstring WideFromUtf16(const char16_t* units, std::size_t count);
std::wstring WideFromUtf8(std::string_view utf8);
std::string Utf8FromWide(std::wstring_view wide);

// Case-insensitive comparison of ASCII letters, as resource type and class
// names compare.
bool EqualsIgnoreCase(std::wstring_view a, std::wstring_view b);

}  // namespace maxhost
