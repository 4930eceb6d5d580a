#include "mail/sequence.h"

#include <gtest/gtest.h>

#include "mail/cache.h"
#include "mail/stream.h"
#include "tests/support/log_capture.h"
#include "tests/support/table.h"

namespace {

struct sequence_row {
  std::string name;
  std::uint32_t messages;
  std::string sequence;
  bool result;
  std::vector<std::uint32_t> selected;
  std::vector<std::string> reports;
};

class SelectSequence : public testing::TestWithParam<sequence_row> {};

TEST_P(SelectSequence, MarksTheNamedMessages) {
  const sequence_row& row = GetParam();
  log_capture log;
  mail_stream stream;
  mail_cache(&stream, 0, CACHE_INIT);
  stream.silent = true;
  mail_note_exists(&stream, row.messages);
  // Marks of an earlier selection must not survive.
  for (std::uint32_t i = 1; i <= row.messages; ++i)
    mail_elt(&stream, i)->sequence = 1;

  EXPECT_EQ(mail_select_sequence(&stream, row.sequence), row.result);
  std::vector<std::uint32_t> selected;
  for (std::uint32_t i = 1; i <= row.messages; ++i) {
    if (mail_elt(&stream, i)->sequence) selected.push_back(i);
  }
  EXPECT_EQ(selected, row.selected);
  EXPECT_EQ(log.texts(), row.reports);
  for (const auto& entry : log.entries())
    EXPECT_EQ(entry.level, LOG_ERROR);
  mail_free_cache(&stream);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SelectSequence,
    testing::Values(
        sequence_row{"single", 5, "3", true, {3}, {}},
        sequence_row{"list", 5, "2,4", true, {2, 4}, {}},
        sequence_row{"range_backwards", 5, "3:1", true, {1, 2, 3}, {}},
        sequence_row{"range_then_single", 5, "2:3,5", true, {2, 3, 5}, {}},
        sequence_row{"trailing_comma", 5, "1,", true, {1}, {}},
        sequence_row{"empty_selects_nothing", 5, "", true, {}, {}},
        sequence_row{"zero", 5, "0", false, {}, {"Sequence invalid"}},
        sequence_row{"above_count", 5, "6", false, {}, {"Sequence invalid"}},
        sequence_row{"huge_number", 5, "99999999999999999999", false, {}, {"Sequence invalid"}},
        sequence_row{"range_past_end", 5, "1:9", false, {}, {"Sequence range invalid"}},
        sequence_row{"range_junk", 5, "1:2x", false, {}, {"Sequence range invalid"}},
        sequence_row{"range_to_zero", 5, "2:0", false, {}, {"Sequence range invalid"}},
        sequence_row{"semicolon", 5, "1;2", false, {}, {"Syntax error in sequence"}},
        sequence_row{"junk_after_a_selection", 5, "1,2x", false, {1}, {"Syntax error in sequence"}},
        sequence_row{"no_wildcard", 5, "*", false, {}, {"Sequence invalid"}},
        sequence_row{"range_star", 5, "1:*", false, {}, {"Sequence range invalid"}},
        sequence_row{"empty_mailbox", 0, "1", false, {}, {"Sequence invalid"}},
        sequence_row{"leading_comma", 5, ",1", false, {}, {"Sequence invalid"}}),
    row_name());

}  // namespace
