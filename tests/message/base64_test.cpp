#include "message/base64.h"
#include "message/rfc822_binary.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/table.h"

namespace {

std::string times(int count, const std::string& text) {
  std::string whole;
  for (int i = 0; i < count; ++i)
    whole += text;
  return whole;
}

struct encode_row {
  std::string name;
  std::string bytes;
  std::string text;
};

class Rfc822Binary : public testing::TestWithParam<encode_row> {};

TEST_P(Rfc822Binary, GroupsPadsAndBreaksLines) {
  EXPECT_EQ(rfc822_binary(GetParam().bytes), GetParam().text);
}

// "eHh4" is "xxx"; 45 bytes fill a line of 60.
INSTANTIATE_TEST_SUITE_P(
    Rows, Rfc822Binary,
    testing::Values(encode_row{"one_group", "abc", "YWJj\r\n"},
                    encode_row{"two_pads", "a", "YQ==\r\n"},
                    encode_row{"one_pad", "ab", "YWI=\r\n"}, encode_row{"empty", "", "\r\n"},
                    encode_row{"full_line", std::string(45, 'x'), times(15, "eHh4") + "\r\n\r\n"},
                    encode_row{"second_line", std::string(46, 'x'),
                               times(15, "eHh4") + "\r\neA==\r\n"}),
    row_name());

struct decode_row {
  std::string name;
  std::string text;
  std::optional<std::string> bytes;
};

class Base64Decode : public testing::TestWithParam<decode_row> {};

// Text read block by block decodes as the whole text does, wherever the
// blocks end, padding included.
TEST_P(Base64Decode, DecodesOrRejectsWholeAndInPieces) {
  const decode_row& row = GetParam();
  EXPECT_EQ(base64_decode(row.text), row.bytes);
  for (std::size_t piece = 1; piece <= 5; ++piece) {
    base64_decoder decoder;
    std::string bytes;
    bool fed = true;
    for (std::size_t at = 0; at < row.text.size(); at += piece)
      fed = decoder.feed(std::string_view(row.text).substr(at, piece), bytes) && fed;
    EXPECT_EQ(fed && decoder.finish(), row.bytes.has_value()) << "in pieces of " << piece;
    if (row.bytes) {
      EXPECT_EQ(bytes, *row.bytes) << "in pieces of " << piece;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Base64Decode,
    testing::Values(decode_row{"blanks_are_skipped", "YW Jj", "abc"},
                    decode_row{"line_breaks_are_skipped", "YW\r\nJj\r\n", "abc"},
                    decode_row{"two_pads", "YQ==", "a"}, decode_row{"one_pad", "YWI=", "ab"},
                    decode_row{"group_after_padding", "YQ==YWJj", "aabc"},
                    decode_row{"groups_and_pads_on_lines", "YWJj\r\nYQ==\r\nYWI=", "abcaab"},
                    decode_row{"lone_pad_in_third_place", "YQ=a", std::nullopt},
                    decode_row{"ends_between_two_pads", "YQ=", std::nullopt},
                    decode_row{"pad_in_first_place", "=YWJ", std::nullopt},
                    decode_row{"pad_in_second_place", "Y=WJ", std::nullopt},
                    decode_row{"pad_then_blank_then_pad", "YQ= =", std::nullopt},
                    decode_row{"unpadded_end", "YWI", "ab"}, decode_row{"empty", "", ""},
                    decode_row{"every_byte", "AAECA/7/", std::string("\0\1\2\3\xfe\xff", 6)},
                    decode_row{"long_lines", rfc822_binary(std::string(100, '\xa5')),
                               std::string(100, '\xa5')}),
    row_name());

}  // namespace
