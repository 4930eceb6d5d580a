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

const encode_row kQprintEncodeRows[] = {
    {"equals_sign", "a=b", "a=3Db"},
    {"blank_before_line_end", "a \r\nb", "a=20\r\nb"},
    {"blank_at_the_end", "a ", "a=20"},
    {"inner_blank_stays", "a b", "a b"},
    {"eight_bit_and_controls", "\xc4\xe3\t\x7f", "=C4=E3=09=7F"},
    {"bare_line_feed_is_encoded", "a\nb", "a=0Ab"},
    {"cr_at_the_end_is_encoded", "a\r", "a=0D"},
    {"line_of_80_breaks_after_75", std::string(80, 'x'),
     std::string(75, 'x') + "=\r\n" + std::string(5, 'x')},
    {"escape_that_would_pass_75", std::string(74, 'x') + "\xff", std::string(74, 'x') + "=\r\n=FF"},
    {"line_breaks_reset_the_count", std::string(70, 'x') + "\r\n" + std::string(70, 'y'),
     std::string(70, 'x') + "\r\n" + std::string(70, 'y')},
};
INSTANTIATE_TEST_SUITE_P(Rows, QprintEncode, testing::ValuesIn(kQprintEncodeRows), row_name());

struct decode_row {
  std::string name;
  std::string text;
  std::optional<std::string> bytes;
};

class QprintDecode : public testing::TestWithParam<decode_row> {};

TEST_P(QprintDecode, DecodesOrRejects) {
  EXPECT_EQ(qprint_decode(GetParam().text), GetParam().bytes);
}

const decode_row kQprintDecodeRows[] = {
    {"soft_line_break", "a=\r\nb", "ab"},
    {"soft_line_break_with_lone_cr", "a=\rb", "ab"},
    {"soft_line_break_with_bare_lf", "a=\nb", "ab"},
    {"blanks_before_crlf_dropped", "a  \r\nb", "a\r\nb"},
    {"blanks_before_bare_lf_dropped", "a  \nb", "a\nb"},
    {"encoded_blank_kept", "a=20\r\n", "a \r\n"},
    {"inner_blanks_kept", "a  b", "a  b"},
    {"blanks_at_the_very_end_kept", "a  ", "a  "},
    {"either_case_hex", "=c4=E3", "\xc4\xe3"},
    {"equals_at_the_end_vanishes", "ab=", "ab"},
    {"bad_hex_digit", "=4g", std::nullopt},
    {"one_hex_digit_at_the_end", "a=4", std::nullopt},
    {"equals_then_blank", "a= \r\n", std::nullopt},
    {"other_bytes_copied", "\xc4\t\n", "\xc4\t\n"},
};
INSTANTIATE_TEST_SUITE_P(Rows, QprintDecode, testing::ValuesIn(kQprintDecodeRows), row_name());

}  // namespace
