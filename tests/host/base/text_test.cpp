#include "base/text.h"

#include <gtest/gtest.h>

namespace maxhost {
namespace {

// Every code point class survives UTF-8 -> wide -> UTF-8 and wide -> UTF-16 -> wide,
// whatever the width of wchar_t: ASCII, two- and three-byte forms and a supplementary
// character (a surrogate pair in UTF-16 and in a 2-byte wchar_t).
TEST(Text, RoundTripsAllSequenceLengths) {
  const std::string utf8 = "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80z";  // A é € 😀 z
  const std::wstring wide = WideFromUtf8(utf8);
  EXPECT_EQ(wide.size(), sizeof(wchar_t) == 2 ? 6u : 5u);
  EXPECT_EQ(Utf8FromWide(wide), utf8);

  const std::u16string utf16 = Utf16FromWide(wide);
  ASSERT_EQ(utf16.size(), 6u);
  EXPECT_EQ(utf16[3], u'\xD83D');
  EXPECT_EQ(utf16[4], u'\xDE00');
  EXPECT_EQ(WideFromUtf16(utf16), wide);
  EXPECT_EQ(Utf8FromWide(WideFromUtf16(utf16)), utf8);
}

// Malformed input gives U+FFFD per bad sequence and never swallows the text after it.
TEST(Text, MalformedInputBecomesReplacementCharacters) {
  EXPECT_EQ(WideFromUtf8("a\xFF" "b"), L"a\xFFFD" L"b");
  EXPECT_EQ(WideFromUtf8("\xC3"), L"\xFFFD");                       // truncated at the end
  EXPECT_EQ(WideFromUtf8("\xE2\x82" "x"), L"\xFFFD" L"x");          // truncated before x
  EXPECT_EQ(WideFromUtf8("\xC0\xAF"), L"\xFFFD\xFFFD");             // overlong '/'
  EXPECT_EQ(WideFromUtf8("\xED\xA0\x80"), L"\xFFFD");               // an encoded surrogate
  EXPECT_EQ(WideFromUtf8("\xF4\x90\x80\x80" "z"), L"\xFFFD" L"z");  // past U+10FFFF
  const char16_t lone[] = {u'x', 0xD800, u'y'};
  EXPECT_EQ(WideFromUtf16(std::u16string_view(lone, 3)), L"x\xFFFD" L"y");
  EXPECT_EQ(Utf8FromWide(std::wstring(1, static_cast<wchar_t>(0xDC00))), "\xEF\xBF\xBD");
}

// A NUL inside the text is text like any other.
TEST(Text, KeepsEmbeddedNul) {
  const std::string utf8("a\0b", 3);
  EXPECT_EQ(WideFromUtf8(utf8), std::wstring(L"a\0b", 3));
  EXPECT_EQ(Utf8FromWide(std::wstring(L"a\0b", 3)), utf8);
}

TEST(Text, ComparesWithoutCase) {
  EXPECT_TRUE(EqualsNoCase(L"ShowProperties", L"SHOWPROPERTIES"));
  EXPECT_TRUE(EqualsNoCase(L"\x00C9t\x00C9", L"\x00E9T\x00E9"));       // Été
  EXPECT_TRUE(EqualsNoCase(L"\x0416\x0401", L"\x0436\x0451"));         // Cyrillic
  EXPECT_TRUE(EqualsNoCase(L"\x0141\x00F3" L"d\x017A", L"\x0142\x00D3" L"D\x0179"));  // Łódź
  EXPECT_FALSE(EqualsNoCase(L"\x00D7", L"\x00F7"));  // × and ÷ are not a case pair
  EXPECT_FALSE(EqualsNoCase(L"abc", L"abcd"));
  EXPECT_TRUE(EqualsNoCase(std::string_view("MAXSCRIPT"), std::string_view("maxScript")));
  EXPECT_LT(CompareNoCase(L"apple", L"BANANA"), 0);
  EXPECT_GT(CompareNoCase(L"b", L"A"), 0);
  EXPECT_LT(CompareNoCase(L"ab", L"ABC"), 0);
  EXPECT_EQ(CompareNoCase(L"Tilvara", L"tILVARA"), 0);
  EXPECT_EQ(FoldCase(static_cast<wchar_t>(0x0178)), static_cast<wchar_t>(0x00FF));
}

}  // namespace
}  // namespace maxhost
