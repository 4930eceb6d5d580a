#include "mail/sequence.h"

#include "mail/cache.h"
#include "mail/stream.h"
#include "tests/support/log_capture.h"
#include "tests/support/table.h"

struct sequence_row {
  std::string name;
  std::uint32_t messages;
  std::string sequence;
  std::vector<std::uint32_t> selected;
  std::string report;  // empty: the sequence is valid
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

  EXPECT_EQ(mail_select_sequence(&stream, row.sequence), row.report.empty());
  std::vector<std::uint32_t> selected;
  for (std::uint32_t i = 1; i <= row.messages; ++i) {
    if (mail_elt(&stream, i)->sequence) selected.push_back(i);
  }
  EXPECT_EQ(selected, row.selected);
  std::vector<log_capture::entry> reports;
  if (!row.report.empty()) reports.push_back({row.report, LOG_ERROR});
  EXPECT_EQ(log.entries(), reports);
  mail_free_cache(&stream);
}

const sequence_row kSequences[] = {
    {"single", 5, "3", {3}, ""},
    {"list", 5, "2,4", {2, 4}, ""},
    {"range_backwards", 5, "3:1", {1, 2, 3}, ""},
    {"range_then_single", 5, "2:3,5", {2, 3, 5}, ""},
    {"trailing_comma", 5, "1,", {1}, ""},
    {"empty_selects_nothing", 5, "", {}, ""},
    {"zero", 5, "0", {}, "Sequence invalid"},
    {"above_count", 5, "6", {}, "Sequence invalid"},
    {"huge_number", 5, "99999999999999999999", {}, "Sequence invalid"},
    {"range_past_end", 5, "1:9", {}, "Sequence range invalid"},
    {"range_junk", 5, "1:2x", {}, "Sequence range invalid"},
    {"range_to_zero", 5, "2:0", {}, "Sequence range invalid"},
    {"semicolon", 5, "1;2", {}, "Syntax error in sequence"},
    {"junk_after_a_selection", 5, "1,2x", {1}, "Syntax error in sequence"},
    {"no_wildcard", 5, "*", {}, "Sequence invalid"},
    {"range_star", 5, "1:*", {}, "Sequence range invalid"},
    {"empty_mailbox", 0, "1", {}, "Sequence invalid"},
    {"leading_comma", 5, ",1", {}, "Sequence invalid"},
};
INSTANTIATE_TEST_SUITE_P(Rows, SelectSequence, testing::ValuesIn(kSequences), row_name());
