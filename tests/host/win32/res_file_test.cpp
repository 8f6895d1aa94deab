#include "win32/res_file.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "res_builder.h"

namespace maxhost {
namespace {

using testing::ResBuilder;

TEST(ParseResFile, ReadsOrdinalAndNamedRecords) {
  ResBuilder b;
  b.Add(2, 103, 0x0409, {1, 2, 3});
  b.AddNamedType(u"MAXSCRIPT", 253, 0x1009, {'a', 'b'});
  b.AddNamed(10, u"Data", 0, {9});
  ResParseResult r = ParseResFile(b.bytes());
  ASSERT_TRUE(r.ok) << r.error;
  ASSERT_EQ(r.resources.size(), 3u);
  EXPECT_TRUE(r.resources[0].type.is_ordinal);
  EXPECT_EQ(r.resources[0].type.ordinal, 2);
  EXPECT_EQ(r.resources[0].name.ordinal, 103);
  EXPECT_EQ(r.resources[0].language, 0x0409);
  EXPECT_EQ(r.resources[0].data, (std::vector<std::uint8_t>{1, 2, 3}));
  EXPECT_FALSE(r.resources[1].type.is_ordinal);
  EXPECT_EQ(r.resources[1].type.name, L"MAXSCRIPT");
  EXPECT_EQ(r.resources[1].language, 0x1009);
  EXPECT_EQ(r.resources[2].name.name, L"Data");
  EXPECT_EQ(r.resources[2].data.size(), 1u);
}

TEST(ParseResFile, EmptyDataRecordIsKept) {
  ResBuilder b;
  b.Add(10, 1, 0, {});
  ResParseResult r = ParseResFile(b.bytes());
  ASSERT_TRUE(r.ok) << r.error;
  ASSERT_EQ(r.resources.size(), 1u);
  EXPECT_TRUE(r.resources[0].data.empty());
}

TEST(ResId, MatchesWin32Forms) {
  const ResId ordinal = ResId::Ordinal(253);
  EXPECT_TRUE(ordinal.Matches(reinterpret_cast<const wchar_t*>(std::uintptr_t{253})));
  EXPECT_FALSE(ordinal.Matches(reinterpret_cast<const wchar_t*>(std::uintptr_t{254})));
  EXPECT_TRUE(ordinal.Matches(L"#253"));
  EXPECT_FALSE(ordinal.Matches(L"#25x"));
  EXPECT_FALSE(ordinal.Matches(L"253"));
  const ResId named = ResId::Name(L"MAXSCRIPT");
  EXPECT_TRUE(named.Matches(L"Maxscript"));
  EXPECT_TRUE(named.Matches(L"maxscript"));
  EXPECT_FALSE(named.Matches(L"MAXSCRIPTS"));
  EXPECT_FALSE(named.Matches(reinterpret_cast<const wchar_t*>(std::uintptr_t{253})));
}

// Broken input is refused with a reason, never read past its end.
TEST(ParseResFile, RefusesBrokenInput) {
  EXPECT_FALSE(ParseResFile({}).ok);

  ResBuilder b;
  b.Add(6, 1, 0, ResBuilder::StringBlock({u"", u"Korvane"}));
  std::vector<std::uint8_t> good = b.bytes();
  ASSERT_TRUE(ParseResFile(good).ok);

  std::vector<std::uint8_t> data_past_end = good;
  data_past_end[32] = 0xFF;  // data size of the second record
  data_past_end[33] = 0xFF;
  ResParseResult r = ParseResFile(data_past_end);
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.error.find("record 1"), std::string::npos) << r.error;
  EXPECT_TRUE(r.resources.empty());

  std::vector<std::uint8_t> small_header = good;
  small_header[36] = 8;  // header size below the fixed fields
  EXPECT_FALSE(ParseResFile(small_header).ok);

  std::vector<std::uint8_t> no_leading = std::vector<std::uint8_t>(good.begin() + 32, good.end());
  r = ParseResFile(no_leading);
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.error.find("leading record"), std::string::npos) << r.error;

  std::vector<std::uint8_t> garbage(100, 0x41);
  EXPECT_FALSE(ParseResFile(garbage).ok);
}

TEST(ParseResFile, UnterminatedNameIsRefused) {
  ResBuilder b;
  b.AddNamedType(u"ABCDEFGHIJKL", 1, 0, {});
  std::vector<std::uint8_t> bytes = b.bytes();
  // Shrink the header size so the name runs into the fixed fields' end.
  bytes[36] = 32;
  EXPECT_FALSE(ParseResFile(bytes).ok);
}

// Every truncation and many single-byte corruptions of a compiled file give a
// parse or an error, never a crash (run under the sanitizers in CI).
TEST(ParseResFile, CorruptedFixtureResNeverCrashes) {
  std::ifstream in(FIXTURE_RES_FILE, std::ios::binary);
  std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                  std::istreambuf_iterator<char>());
  ASSERT_GT(bytes.size(), 1000u);
  ASSERT_TRUE(ParseResFile(bytes).ok);
  int refused = 0;
  for (std::size_t cut = 1; cut < bytes.size(); cut += 97) {
    ResParseResult r = ParseResFile(std::span(bytes.data(), cut));
    if (!r.ok) {
      ++refused;
      EXPECT_FALSE(r.error.empty());
    }
  }
  EXPECT_GT(refused, 0);
  std::uint32_t state = 1;
  for (int i = 0; i < 2000; ++i) {
    std::vector<std::uint8_t> copy = bytes;
    state = state * 214013u + 2531011u;
    copy[(state >> 8) % copy.size()] ^= static_cast<std::uint8_t>(state >> 24 | 1);
    ResParseResult r = ParseResFile(copy);
    if (!r.ok) {
      EXPECT_FALSE(r.error.empty());
    }
  }
}

}  // namespace
}  // namespace maxhost
