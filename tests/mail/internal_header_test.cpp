#include "mail/internal_header.h"

#include <gtest/gtest.h>

#include "tests/support/table.h"

namespace {

struct shape_row {
  std::string name;
  std::string line;
  bool shape;
};

class InternalHeaderShape : public testing::TestWithParam<shape_row> {};

TEST_P(InternalHeaderShape, IsRecognised) {
  EXPECT_EQ(internal_header_shape(GetParam().line), GetParam().shape);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, InternalHeaderShape,
    testing::Values(shape_row{"padded_day", " 5-Dec-1996 11:53:20 +0800,12;000000000000", true},
                    shape_row{"two_digit_day", "15-Dec-1996 11:53:20 +0800,1;000000000000", true},
                    shape_row{"single_digit_day", "5-Dec-1996 11:53:20 +0800,1;000000000000", true},
                    shape_row{"comma_too_early", " 5-Dec-96,1;000000000000", false},
                    shape_row{"semicolon_right_after_comma",
                              " 5-Dec-1996 11:53:20 +0800,;000000000000", false},
                    shape_row{"no_dashes", " 5 Dec 1996 11:53:20 +0800,1;000000000000", false},
                    shape_row{"no_semicolon", " 5-Dec-1996 11:53:20 +0800,12", false}),
    row_name());

TEST(InternalHeader, SplitsAtTheFirstCommaAndTheSemicolonAfterIt) {
  auto fields = internal_header_split(" 5-Dec-1996 11:53:20 +0800,27;000000000001");
  ASSERT_TRUE(fields);
  EXPECT_EQ(fields->date, " 5-Dec-1996 11:53:20 +0800");
  EXPECT_EQ(fields->length, "27");
  EXPECT_EQ(fields->flags, "000000000001");
  EXPECT_FALSE(internal_header_split("no comma;here"));
}

TEST(InternalHeader, LengthsAreDecimalAndNotZero) {
  EXPECT_EQ(internal_header_length("27"), 27u);
  EXPECT_EQ(internal_header_length("0"), std::nullopt);
  EXPECT_EQ(internal_header_length(""), std::nullopt);
  EXPECT_EQ(internal_header_length("+1"), std::nullopt);
  EXPECT_EQ(internal_header_length("99999999999"), std::nullopt);
}

TEST(InternalHeader, FlagDigitsRoundTrip) {
  auto flags = internal_header_flags_read("400000000117");
  ASSERT_TRUE(flags);
  EXPECT_EQ(flags->system_flags, 15u);
  EXPECT_EQ(flags->user_flags, (1u << 0) | (1u << 29));
  EXPECT_EQ(internal_header_flag_digits(flags->user_flags, flags->system_flags), "400000000117");
  EXPECT_FALSE(internal_header_flags_read("00000000001"));
  EXPECT_FALSE(internal_header_flags_read("0000000000001"));
  EXPECT_FALSE(internal_header_flags_read("00000000000x"));
}

TEST(InternalHeader, LineLayout) {
  EXPECT_EQ(internal_header_line(" 5-Dec-1996 11:53:20 +0800", 27, 10, "\r\n"),
            " 5-Dec-1996 11:53:20 +0800,27;000000000012\r\n");
}

}  // namespace
