#include "mail/internal_header.h"

#include "tests/support/table.h"

struct shape_row {
  std::string name, line;
  bool shape;
};

class InternalHeaderShape : public testing::TestWithParam<shape_row> {};

TEST_P(InternalHeaderShape, IsRecognised) {
  EXPECT_EQ(internal_header_shape(GetParam().line), GetParam().shape);
}

const shape_row kShapes[] = {
    {"padded_day", " 5-Dec-1996 11:53:20 +0800,12;000000000000", true},
    {"two_digit_day", "15-Dec-1996 11:53:20 +0800,1;000000000000", true},
    {"single_digit_day", "5-Dec-1996 11:53:20 +0800,1;000000000000", true},
    {"comma_too_early", " 5-Dec-96,1;000000000000", false},
    {"semicolon_right_after_comma", " 5-Dec-1996 11:53:20 +0800,;000000000000", false},
    {"no_dashes", " 5 Dec 1996 11:53:20 +0800,1;000000000000", false},
    {"no_semicolon", " 5-Dec-1996 11:53:20 +0800,12", false},
};
INSTANTIATE_TEST_SUITE_P(Rows, InternalHeaderShape, testing::ValuesIn(kShapes), row_name());

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
  for (const char* refused : {"0", "", "+1", "99999999999"})
    EXPECT_EQ(internal_header_length(refused), std::nullopt) << refused;
}

TEST(InternalHeader, FlagDigitsRoundTrip) {
  auto flags = internal_header_flags_read("400000000117");
  ASSERT_TRUE(flags);
  EXPECT_EQ(flags->system_flags, 15u);
  EXPECT_EQ(flags->user_flags, (1u << 0) | (1u << 29));
  EXPECT_EQ(internal_header_flag_digits(flags->user_flags, flags->system_flags), "400000000117");
  for (const char* refused : {"00000000001", "0000000000001", "00000000000x"})
    EXPECT_FALSE(internal_header_flags_read(refused)) << refused;
}
