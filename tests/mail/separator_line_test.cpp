#include "mail/separator_line.h"

#include "tests/support/table.h"

struct separator_row {
  std::string name, line;
  std::optional<std::string> date;  // the internal date text, or not a separator
};

class SeparatorLine : public testing::TestWithParam<separator_row> {};

TEST_P(SeparatorLine, IsRecognisedWithItsDate) {
  std::optional<separator_date> date = separator_line_parse(GetParam().line);
  EXPECT_EQ(date ? std::optional(separator_internal_date(*date)) : std::nullopt, GetParam().date);
}

const separator_row kSeparators[] = {
    {"plain", "From someone Thu Dec  5 11:53:20 1996", " 5-Dec-1996 11:53:20-LCL"},
    {"remote_from", "From someone Thu Dec  5 11:53:20 1996 remote from pku",
     " 5-Dec-1996 11:53:20-LCL"},
    {"no_seconds", "From li@example.cn Thu Dec 15 11:53 1996", "15-Dec-1996 11:53:00-LCL"},
    {"zone_name_before_year", "From li Thu Dec  5 11:53:20 EST 1996", " 5-Dec-1996 11:53:20-EST"},
    {"numeric_zone_before_year", "From li Thu Dec  5 11:53:20 +0800 1996",
     " 5-Dec-1996 11:53:20 +0800"},
    {"zone_name_after_year", "From li Thu Dec  5 11:53:20 1996 PST", " 5-Dec-1996 11:53:20-PST"},
    {"numeric_zone_after_year", "From li Thu Dec  5 11:53:20 1996 -0500",
     " 5-Dec-1996 11:53:20 -0500"},
    {"no_sender", "From  Thu Dec  5 11:53:20 1996", " 5-Dec-1996 11:53:20-LCL"},
    {"sender_with_blanks", "From SRS0=x@bounce.example.org  Fri Nov 26 21:40:36 2004",
     "26-Nov-2004 21:40:36-LCL"},
    {"one_word", "From someone", std::nullopt},
    {"prose", "From here on the letter goes on and on", std::nullopt},
    {"unpadded_day", "From someone Thu Dec 5 11:53:20 1996", std::nullopt},
    {"three_digit_year", "From someone Thu Dec  5 11:53:20 996", std::nullopt},
    {"time_without_colons", "From someone Thu Dec  5 115320 1996", std::nullopt},
    {"quoted", ">From someone Thu Dec  5 11:53:20 1996", std::nullopt},
    {"lower_case_from", "from someone Thu Dec  5 11:53:20 1996", std::nullopt},
    {"too_short", "From Thu Dec  5 11:53 1996", std::nullopt},
    {"longer_than_the_limit",
     "From " + std::string(kSeparatorLimit, 'x') + " Thu Dec  5 11:53:20 1996", std::nullopt},
};
INSTANTIATE_TEST_SUITE_P(Rows, SeparatorLine, testing::ValuesIn(kSeparators), row_name());
