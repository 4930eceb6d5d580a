// Searching a local mailbox: every criterion, on a Tenexdos file.

#include "mail/cache.h"
#include "tests/mail/local_fixture.h"
#include "tests/support/table.h"

namespace {

std::string message(const std::string& date, const std::string& flags, const std::string& text) {
  return date + "," + std::to_string(text.size()) + ";0000000000" + flags + "\n" + text;
}

// Message 3 has a body longer than the reader's 64 KiB pieces, with words
// across the boundary between two pieces.
std::string long_body() {
  std::string body(65536 - 10, 'x');
  body += "ACROSS-THE-EDGE";
  body += std::string(70000, 'y');
  return body + "\n";
}

struct search_row {
  std::string name;
  std::string criteria;
  std::vector<std::uint32_t> found;  // empty with error: "Unknown search criterion"
  bool error = false;
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
  const search_row& row = GetParam();
  write("mail.box",
        message(" 5-Dec-1996 11:53:20 +0800", "01",
                "From: Li Hua <li@example.cn>\nTo: wang@pku.edu.cn\nSubject: Meeting Notes\n\n"
                "see you Tuesday\n") +
            message("24-Mar-2001 08:00:00 -0500", "12",
                    "From: wang@pku.edu.cn\nCc: \"Zhang San\" <zhang@example.cn>\n"
                    "Subject: re: lunch\n\nmeeting moved\n") +
            message(" 1-Jan-2010 00:00:00 +0000", "04",
                    "From: bulk@example.org\nSubject: news\n\n" + long_body()));
  mail_stream* stream = open("mail.box");
  ASSERT_NE(stream, nullptr);
  stream->driver->search(stream, row.criteria);
  EXPECT_EQ(found_, row.found);
  EXPECT_EQ(logged("Unknown search criterion"), row.error) << testing::PrintToString(texts());
  mail_close(stream);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, LocalSearch,
    testing::Values(
        search_row{"all", "ALL", {1, 2, 3}}, search_row{"nothing_is_everything", "", {1, 2, 3}},
        search_row{"seen", "SEEN", {1}}, search_row{"unseen", "unseen", {2, 3}},
        search_row{"deleted_and_answered", "DELETED ANSWERED", {2}},
        search_row{"undeleted_unanswered_flagged", "UNDELETED UNANSWERED FLAGGED", {3}},
        search_row{"unflagged", "UNFLAGGED", {1, 2}}, search_row{"recent_none", "RECENT", {}},
        search_row{"new_none", "NEW", {}}, search_row{"old_all", "OLD", {1, 2, 3}},
        search_row{"keyword_never", "KEYWORD $Work", {}},
        search_row{"unkeyword_always", "UNKEYWORD $Work", {1, 2, 3}},
        search_row{"before", "BEFORE 24-Mar-2001", {1}}, search_row{"on", "ON 24-Mar-2001", {2}},
        search_row{"since", "SINCE 24-Mar-2001", {2, 3}},
        search_row{"since_quoted_date", "SINCE \"24 mar 2001\"", {2, 3}},
        search_row{"subject_any_case", "SUBJECT meeting", {1}},
        search_row{"subject_quoted_with_blank", "SUBJECT \"re: LUNCH\"", {2}},
        search_row{"from_address", "FROM wang@pku", {2}},
        search_row{"from_personal", "FROM \"li hua\"", {1}}, search_row{"to", "TO wang", {1}},
        search_row{"cc_personal", "CC \"Zhang San\"", {2}}, search_row{"bcc_none", "BCC wang", {}},
        search_row{"body", "BODY meeting", {2}}, search_row{"body_not_header", "BODY Notes", {}},
        search_row{"text_includes_header", "TEXT Notes", {1}},
        search_row{"body_across_pieces", "BODY across-the-edge", {3}},
        search_row{"literal", "SUBJECT {4}\r\nNEWS", {3}},
        search_row{"literal_then_more", "TEXT {7}\r\nmeeting UNSEEN", {2}},
        search_row{"unknown_word", "SEEN FRUMP", {}, true},
        search_row{"missing_argument", "SUBJECT", {}, true},
        search_row{"open_quote", "SUBJECT \"lunch", {}, true},
        search_row{"bad_date", "SINCE 32-Dec-1996", {}, true},
        search_row{"short_literal", "SUBJECT {9}\r\nNEWS", {}, true},
        search_row{"literal_without_crlf", "SUBJECT {4}NEWS", {}, true}),
    row_name());

}  // namespace
