#include "mail/mailbox_pattern.h"

#include <string>

#include "tests/support/table.h"

struct pattern_row {
  std::string name, mailbox, pattern;
  bool matches;
};

class PatternMatch : public testing::TestWithParam<pattern_row> {};

TEST_P(PatternMatch, Decides) {
  EXPECT_EQ(mailbox_pattern_match(GetParam().mailbox, GetParam().pattern), GetParam().matches);
}

const pattern_row kPatterns[] = {
    {"star_matches_all", "Work", "*", true},
    {"star_matches_empty_name", "", "*", true},
    {"percent_is_one_character", "a.box", "%.box", true},
    {"percent_is_not_two", "ab.box", "%.box", false},
    {"question_mark", "ab", "a?", true},
    {"case_ignored", "INBOX", "inbox", true},
    {"star_inside", "mail/2024/jan", "mail*jan", true},
    {"star_may_match_nothing", "ab", "a*b", true},
    {"star_needs_the_rest", "a", "a*b", false},
    {"star_then_percent", "abc", "*%", true},
    {"longer_name", "Work2", "Work", false},
    {"longer_pattern", "Wor", "Work", false},
    {"exact", "Work", "Work", true},
};
INSTANTIATE_TEST_SUITE_P(Rows, PatternMatch, testing::ValuesIn(kPatterns), row_name());
