#include "message/base64.h"
#include "message/rfc822_binary.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/table.h"

namespace {

TEST(Rfc822Binary, GroupsPaddingAndLines) {
  EXPECT_EQ(rfc822_binary("abc"), "YWJj\r\n");
  EXPECT_EQ(rfc822_binary("a"), "YQ==\r\n");
  EXPECT_EQ(rfc822_binary("ab"), "YWI=\r\n");
  EXPECT_EQ(rfc822_binary(""), "\r\n");
  const std::string line = rfc822_binary(std::string(45, 'x'));
  EXPECT_EQ(line.size(), 64u);
  EXPECT_EQ(line.substr(60), "\r\n\r\n");
  const std::string two_lines = rfc822_binary(std::string(46, 'x'));
  EXPECT_EQ(two_lines.substr(60, 2), "\r\n");
  EXPECT_EQ(two_lines.substr(62), "eA==\r\n");
}

struct decode_row {
  std::string name;
  std::string text;
  std::optional<std::string> bytes;
};

class Base64Decode : public testing::TestWithParam<decode_row> {};

TEST_P(Base64Decode, DecodesOrRejects) {
  EXPECT_EQ(base64_decode(GetParam().text), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Base64Decode,
    testing::Values(decode_row{"blanks_are_skipped", "YW Jj", "abc"},
                    decode_row{"line_breaks_are_skipped", "YW\r\nJj\r\n", "abc"},
                    decode_row{"two_pads", "YQ==", "a"}, decode_row{"one_pad", "YWI=", "ab"},
                    decode_row{"group_after_padding", "YQ==YWJj", "aabc"},
                    decode_row{"lone_pad_in_third_place", "YQ=a", std::nullopt},
                    decode_row{"pad_in_first_place", "=YWJ", std::nullopt},
                    decode_row{"pad_in_second_place", "Y=WJ", std::nullopt},
                    decode_row{"pad_then_blank_then_pad", "YQ= =", std::nullopt},
                    decode_row{"unpadded_end", "YWI", "ab"}, decode_row{"empty", "", ""},
                    decode_row{"every_byte", "AAECA/7/", std::string("\0\1\2\3\xfe\xff", 6)}),
    row_name());

TEST(Base64, RoundTripOfEveryByteValue) {
  std::string bytes;
  for (int i = 0; i < 256 * 3 + 1; ++i)
    bytes += static_cast<char>(i * 7);
  EXPECT_EQ(base64_decode(rfc822_binary(bytes)), bytes);
}

}  // namespace

namespace {

// Text read block by block decodes as the whole text does, wherever the
// blocks end, padding included.
TEST(Base64Decoder, PiecesDecodeAsTheWholeText) {
  const std::string texts[] = {"YWJj\r\nYQ==\r\nYWI=",
                               "YQ=a",
                               "YQ=",
                               "YQ= =",
                               "=YWJ",
                               rfc822_binary(std::string(100, '\xa5'))};
  for (const std::string& text : texts) {
    for (std::size_t piece = 1; piece <= 5; ++piece) {
      base64_decoder decoder;
      std::string bytes;
      bool fed = true;
      for (std::size_t at = 0; at < text.size(); at += piece)
        fed = decoder.feed(std::string_view(text).substr(at, piece), bytes) && fed;
      const std::optional<std::string> whole = base64_decode(text);
      EXPECT_EQ(fed && decoder.finish(), whole.has_value()) << text << " in pieces of " << piece;
      if (whole) {
        EXPECT_EQ(bytes, *whole) << text << " in pieces of " << piece;
      }
    }
  }
}

}  // namespace
