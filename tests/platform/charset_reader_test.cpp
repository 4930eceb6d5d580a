#include "platform/charset_reader.h"

#include <gtest/gtest.h>

#include "tests/support/table.h"

namespace {

struct reader_row {
  std::string name;
  std::string charset;
  std::string bytes;
  std::u32string characters;
  std::vector<std::size_t> offsets;
};

class CharsetReader : public testing::TestWithParam<reader_row> {};

TEST_P(CharsetReader, TellsWhereEveryCharacterBegins) {
  const reader_row& row = GetParam();
  charset_reader reader(row.charset);
  ASSERT_TRUE(reader.ok());
  std::u32string characters;
  std::vector<std::size_t> offsets;
  reader.read(row.bytes, [&](char32_t c, std::size_t at) {
    characters += c;
    offsets.push_back(at);
  });
  EXPECT_EQ(characters, row.characters);
  EXPECT_EQ(offsets, row.offsets);
}

const reader_row kCharsetReaderRows[] = {
    {"GbAmongAscii", "GB18030", "a\xD6\xD0z", U"a中z", {0, 1, 3}},
    {"Big5TrailBytesInTheAsciiRange", "BIG5-HKSCS", "\xA4\x40\x41", U"一A", {0, 2}},
    {"OneHkscsCodeForTwoCharacters", "BIG5-HKSCS", "\x88\x62x", U"\u00CA\u0304x", {0, 0, 2}},
    {"BadBytesEachReplaced", "UTF-8", "\xFF\xE4\xB8", U"\uFFFD\uFFFD\uFFFD", {0, 1, 2}},
    {"ShiftingCharsetsReadThroughIconv", "ISO-2022-JP", "a\x1B$B0!\x1B(Bb", U"a亜b", {0, 1, 6}},
    {"TwoByteUnits", "UTF-16LE", std::string("a\0\x2D\x4E", 4), U"a中", {0, 2}},
};
INSTANTIATE_TEST_SUITE_P(Rows, CharsetReader, testing::ValuesIn(kCharsetReaderRows), row_name());

TEST(CharsetNames, OnlyPlainNamesIconvKnows) {
  EXPECT_TRUE(charset_known("utf-8"));
  EXPECT_TRUE(charset_known("KOI8-R"));
  EXPECT_FALSE(charset_known("x-none"));
  EXPECT_FALSE(charset_known("UTF-8//IGNORE"));
  EXPECT_FALSE(charset_known(""));
  EXPECT_EQ(charset_to_utf8("\xC1", "KOI8-R"), "а");
  EXPECT_EQ(charset_to_utf8("a", "x-none"), std::nullopt);
}

}  // namespace
