#include "mail/flag_list.h"

#include <gtest/gtest.h>

#include "tests/support/log_capture.h"
#include "tests/support/table.h"

struct flag_row {
  std::string name, list;
  unsigned flags;
  std::vector<std::string> reports;
};

class FlagList : public testing::TestWithParam<flag_row> {};

TEST_P(FlagList, GivesTheSystemFlags) {
  log_capture log;
  EXPECT_EQ(flag_list_parse(GetParam().list), GetParam().flags);
  EXPECT_EQ(log.texts(), GetParam().reports);
}

const flag_row kFlagLists[] = {
    {"one", "\\Seen", 1, {}},
    {"all_in_parentheses", "(\\Seen \\Deleted \\Flagged \\Answered)", 15, {}},
    {"any_case", "\\dElEtEd", 2, {}},
    {"extra_blanks", "  \\Flagged   \\Answered ", 12, {}},
    {"empty_parentheses", "()", 0, {}},
    {"unknown_word_skipped",
     "\\Seen \\Recent $Junk",
     1,
     {"Unknown flag: \\RECENT", "Unknown flag: $JUNK"}},
    {"opening_only", "(\\Seen", 0, {"Bad flag list"}},
    {"closing_only", "\\Seen)", 0, {"Bad flag list"}},
    {"lone_parenthesis", "(", 0, {"Bad flag list"}},
};
INSTANTIATE_TEST_SUITE_P(Rows, FlagList, testing::ValuesIn(kFlagLists), row_name());
