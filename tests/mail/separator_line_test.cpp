#include "mail/separator_line.h"

#include <gtest/gtest.h>

#include "tests/support/table.h"

namespace {

struct separator_row {
  std::string name;
  std::string line;
  std::optional<std::string> date;  // the internal date text, or not a separator
};

class SeparatorLine : public testing::TestWithParam<separator_row> {};

TEST_P(SeparatorLine, IsRecognisedWithItsDate) {
  const separator_row& row = GetParam();
  std::optional<separator_date> date = separator_line_parse(row.line);
  ASSERT_EQ(date.has_value(), row.date.has_value());
  if (date) {
    EXPECT_EQ(separator_internal_date(*date), *row.date);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SeparatorLine,
    testing::Values(
        separator_row{"plain", "From someone Thu Dec  5 11:53:20 1996", " 5-Dec-1996 11:53:20-LCL"},
        separator_row{"remote_from", "From someone Thu Dec  5 11:53:20 1996 remote from pku",
                      " 5-Dec-1996 11:53:20-LCL"},
        separator_row{"no_seconds", "From li@example.cn Thu Dec 15 11:53 1996",
                      "15-Dec-1996 11:53:00-LCL"},
        separator_row{"zone_name_before_year", "From li Thu Dec  5 11:53:20 EST 1996",
                      " 5-Dec-1996 11:53:20-EST"},
        separator_row{"numeric_zone_before_year", "From li Thu Dec  5 11:53:20 +0800 1996",
                      " 5-Dec-1996 11:53:20 +0800"},
        separator_row{"zone_name_after_year", "From li Thu Dec  5 11:53:20 1996 PST",
                      " 5-Dec-1996 11:53:20-PST"},
        separator_row{"numeric_zone_after_year", "From li Thu Dec  5 11:53:20 1996 -0500",
                      " 5-Dec-1996 11:53:20 -0500"},
        separator_row{"no_sender", "From  Thu Dec  5 11:53:20 1996", " 5-Dec-1996 11:53:20-LCL"},
        separator_row{"sender_with_blanks",
                      "From SRS0=x@bounce.example.org  Fri Nov 26 21:40:36 2004",
                      "26-Nov-2004 21:40:36-LCL"},
        separator_row{"one_word", "From someone", std::nullopt},
        separator_row{"prose", "From here on the letter goes on and on", std::nullopt},
        separator_row{"unpadded_day", "From someone Thu Dec 5 11:53:20 1996", std::nullopt},
        separator_row{"three_digit_year", "From someone Thu Dec  5 11:53:20 996", std::nullopt},
        separator_row{"time_without_colons", "From someone Thu Dec  5 115320 1996", std::nullopt},
        separator_row{"quoted", ">From someone Thu Dec  5 11:53:20 1996", std::nullopt},
        separator_row{"lower_case_from", "from someone Thu Dec  5 11:53:20 1996", std::nullopt},
        separator_row{"too_short", "From Thu Dec  5 11:53 1996", std::nullopt}),
    row_name());

TEST(SeparatorLine, LongerThanTheLimitIsNoSeparator) {
  std::string sender(kSeparatorLimit, 'x');
  EXPECT_FALSE(separator_line_valid("From " + sender + " Thu Dec  5 11:53:20 1996"));
}

}  // namespace
