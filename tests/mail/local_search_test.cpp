// Searching a local mailbox: every criterion, on a Tenexdos file.

#include "tests/mail/local_fixture.h"

// Message 3 has a body longer than the reader's 64 KiB pieces, with words
// across the boundary between two pieces.
const std::string kLongBody =
    std::string(65536 - 10, 'x') + "ACROSS-THE-EDGE" + std::string(70000, 'y') + "\n";

struct search_row {
  std::string name, criteria;
  std::vector<std::uint32_t> found;
  bool error = false;  // "Unknown search criterion" reported
};

class LocalSearch : public LocalMailboxes, public testing::WithParamInterface<search_row> {
 protected:
  mail_callbacks callbacks() override {
    mail_callbacks table = LocalMailboxes::callbacks();
    table.on_searched = [this](mail_stream*, std::uint32_t msgno) { found_.push_back(msgno); };
    return table;
  }
  std::vector<std::uint32_t> found_;
};

TEST_P(LocalSearch, FindsTheMessages) {
  write(
      "mail.box",
      tenex_message("From: Li Hua <li@example.cn>\nTo: wang@pku.edu.cn\nSubject: Meeting Notes\n\n"
                    "see you Tuesday\n",
                    "000000000001") +
          tenex_message("From: wang@pku.edu.cn\nCc: \"Zhang San\" <zhang@example.cn>\n"
                        "Subject: re: lunch\n\nmeeting moved\n",
                        "000000000012", "24-Mar-2001 08:00:00 -0500") +
          tenex_message("From: bulk@example.org\nSubject: news\n\n" + kLongBody, "000000000004",
                        " 1-Jan-2010 00:00:00 +0000"));
  ASSERT_TRUE(opens("mail.box"));
  stream_->driver->search(stream_, GetParam().criteria);
  EXPECT_EQ(found_, GetParam().found);
  EXPECT_EQ(logged("Unknown search criterion"), GetParam().error)
      << testing::PrintToString(texts());
}

const search_row kSearches[] = {
    {"all", "ALL", {1, 2, 3}},
    {"nothing_is_everything", "", {1, 2, 3}},
    {"seen", "SEEN", {1}},
    {"unseen", "unseen", {2, 3}},
    {"deleted_and_answered", "DELETED ANSWERED", {2}},
    {"undeleted_unanswered_flagged", "UNDELETED UNANSWERED FLAGGED", {3}},
    {"unflagged", "UNFLAGGED", {1, 2}},
    {"recent_none", "RECENT", {}},
    {"new_none", "NEW", {}},
    {"old_all", "OLD", {1, 2, 3}},
    {"keyword_never", "KEYWORD $Work", {}},
    {"unkeyword_always", "UNKEYWORD $Work", {1, 2, 3}},
    {"before", "BEFORE 24-Mar-2001", {1}},
    {"on", "ON 24-Mar-2001", {2}},
    {"since", "SINCE 24-Mar-2001", {2, 3}},
    {"since_quoted_date", "SINCE \"24 mar 2001\"", {2, 3}},
    {"subject_any_case", "SUBJECT meeting", {1}},
    {"subject_quoted_with_blank", "SUBJECT \"re: LUNCH\"", {2}},
    {"from_address", "FROM wang@pku", {2}},
    {"from_personal", "FROM \"li hua\"", {1}},
    {"to", "TO wang", {1}},
    {"cc_personal", "CC \"Zhang San\"", {2}},
    {"bcc_none", "BCC wang", {}},
    {"body", "BODY meeting", {2}},
    {"body_not_header", "BODY Notes", {}},
    {"text_includes_header", "TEXT Notes", {1}},
    {"body_across_pieces", "BODY across-the-edge", {3}},
    {"literal", "SUBJECT {4}\r\nNEWS", {3}},
    {"literal_then_more", "TEXT {7}\r\nmeeting UNSEEN", {2}},
    {"unknown_word", "SEEN FRUMP", {}, true},
    {"missing_argument", "SUBJECT", {}, true},
    {"open_quote", "SUBJECT \"lunch", {}, true},
    {"bad_date", "SINCE 32-Dec-1996", {}, true},
    {"short_literal", "SUBJECT {9}\r\nNEWS", {}, true},
    {"literal_without_crlf", "SUBJECT {4}NEWS", {}, true},
};
INSTANTIATE_TEST_SUITE_P(Rows, LocalSearch, testing::ValuesIn(kSearches), row_name());
