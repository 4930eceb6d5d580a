#include "mail/flag_list.h"

#include <gtest/gtest.h>

#include "tests/support/log_capture.h"
#include "tests/support/table.h"

namespace {

struct flag_row {
  std::string name;
  std::string list;
  unsigned flags;
  std::vector<std::string> reports;
};

class FlagList : public testing::TestWithParam<flag_row> {};

TEST_P(FlagList, GivesTheSystemFlags) {
  log_capture log;
  EXPECT_EQ(flag_list_parse(GetParam().list), GetParam().flags);
  EXPECT_EQ(log.texts(), GetParam().reports);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FlagList,
    testing::Values(flag_row{"one", "\\Seen", 1, {}},
                    flag_row{
                        "all_in_parentheses", "(\\Seen \\Deleted \\Flagged \\Answered)", 15, {}},
                    flag_row{"any_case", "\\dElEtEd", 2, {}},
                    flag_row{"extra_blanks", "  \\Flagged   \\Answered ", 12, {}},
                    flag_row{"empty_parentheses", "()", 0, {}},
                    flag_row{"unknown_word_skipped",
                             "\\Seen \\Recent $Junk",
                             1,
                             {"Unknown flag: \\RECENT", "Unknown flag: $JUNK"}},
                    flag_row{"opening_only", "(\\Seen", 0, {"Bad flag list"}},
                    flag_row{"closing_only", "\\Seen)", 0, {"Bad flag list"}},
                    flag_row{"lone_parenthesis", "(", 0, {"Bad flag list"}}),
    row_name());

}  // namespace
