#include "message/quoted_printable.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/table.h"

namespace {

struct encode_row {
  std::string name;
  std::string bytes;
  std::string text;
};

class QprintEncode : public testing::TestWithParam<encode_row> {};

TEST_P(QprintEncode, Encodes) {
  EXPECT_EQ(qprint_encode(GetParam().bytes), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, QprintEncode,
    testing::Values(encode_row{"equals_sign", "a=b", "a=3Db"},
                    encode_row{"blank_before_line_end", "a \r\nb", "a=20\r\nb"},
                    encode_row{"blank_at_the_end", "a ", "a=20"},
                    encode_row{"inner_blank_stays", "a b", "a b"},
                    encode_row{"eight_bit_and_controls", "\xc4\xe3\t\x7f", "=C4=E3=09=7F"},
                    encode_row{"bare_line_feed_is_encoded", "a\nb", "a=0Ab"},
                    encode_row{"cr_at_the_end_is_encoded", "a\r", "a=0D"},
                    encode_row{"line_of_80_breaks_after_75", std::string(80, 'x'),
                               std::string(75, 'x') + "=\r\n" + std::string(5, 'x')},
                    encode_row{"escape_that_would_pass_75", std::string(74, 'x') + "\xff",
                               std::string(74, 'x') + "=\r\n=FF"},
                    encode_row{"line_breaks_reset_the_count",
                               std::string(70, 'x') + "\r\n" + std::string(70, 'y'),
                               std::string(70, 'x') + "\r\n" + std::string(70, 'y')}),
    row_name());

struct decode_row {
  std::string name;
  std::string text;
  std::optional<std::string> bytes;
};

class QprintDecode : public testing::TestWithParam<decode_row> {};

TEST_P(QprintDecode, DecodesOrRejects) {
  EXPECT_EQ(qprint_decode(GetParam().text), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, QprintDecode,
    testing::Values(decode_row{"soft_line_break", "a=\r\nb", "ab"},
                    decode_row{"soft_line_break_with_lone_cr", "a=\rb", "ab"},
                    decode_row{"soft_line_break_with_bare_lf", "a=\nb", "ab"},
                    decode_row{"blanks_before_crlf_dropped", "a  \r\nb", "a\r\nb"},
                    decode_row{"blanks_before_bare_lf_dropped", "a  \nb", "a\nb"},
                    decode_row{"encoded_blank_kept", "a=20\r\n", "a \r\n"},
                    decode_row{"inner_blanks_kept", "a  b", "a  b"},
                    decode_row{"blanks_at_the_very_end_kept", "a  ", "a  "},
                    decode_row{"either_case_hex", "=c4=E3", "\xc4\xe3"},
                    decode_row{"equals_at_the_end_vanishes", "ab=", "ab"},
                    decode_row{"bad_hex_digit", "=4g", std::nullopt},
                    decode_row{"one_hex_digit_at_the_end", "a=4", std::nullopt},
                    decode_row{"equals_then_blank", "a= \r\n", std::nullopt},
                    decode_row{"other_bytes_copied", "\xc4\t\n", "\xc4\t\n"}),
    row_name());

TEST(QuotedPrintable, RoundTripOfEveryByteValue) {
  std::string bytes;
  for (int i = 0; i < 256 * 3; ++i)
    bytes += static_cast<char>(i * 13);
  bytes += " \r\n \r\nend \r";
  EXPECT_EQ(qprint_decode(qprint_encode(bytes)), bytes);
}

}  // namespace
