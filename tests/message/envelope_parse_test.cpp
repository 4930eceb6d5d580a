#include "message/envelope_parse.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/message/summary.h"
#include "tests/support/log_capture.h"
#include "tests/support/table.h"

namespace {

std::unique_ptr<mail_envelope> parse(const std::string& header) {
  std::unique_ptr<mail_envelope> envelope;
  envelope_parse(envelope, nullptr, header, nullptr, "local.host");
  return envelope;
}

struct header_row {
  std::string name;
  std::string header;
  std::string envelope;
  std::string report = {};  // empty: none
};

class EnvelopeParse : public testing::TestWithParam<header_row> {};

// Without a body to fill, Content- fields are not read.
TEST_P(EnvelopeParse, FillsTheEnvelope) {
  const header_row& row = GetParam();
  log_capture log;
  EXPECT_EQ(envelope_summary(*parse(row.header)), row.envelope);
  EXPECT_EQ(log.entries(), parse_reports(row.report));
}

const header_row kEnvelopeParseRows[] = {
    {"crlf_lines_end_in_one_blank", "Subject: hello\r\nDate: 5 Dec 1996\r\n\r\n",
     "date=5 Dec 1996 |subject=hello |"},
    {"continuation_lines_join_with_one_blank", "Subject: one\n\ttwo\n   three\nTo: a@b\n\n",
     "subject=one two three|to=<a@b>|"},
    {"runs_of_blanks_and_tabs_collapse", "Subject:\t a  \t b\n\n", "subject=a b|"},
    {"first_text_field_wins_and_lists_gather",
     "subject: first\nSUBJECT: second\nDate: d1\nDate: d2\nTo: a@x\nto: b@y, c@z\n"
     "Message-ID: <one@x>\nMessage-ID: <two@x>\nIn-Reply-To: <r@x>\ncc: d@w\n"
     "Bcc: e@v\n\n",
     "date=d1|subject=first|to=<a@x><b@y><c@z>|cc=<d@w>|bcc=<e@v>|in_reply_to=<r@x>|"
     "message_id=<one@x>|"},
    {"lines_without_colon_and_unknown_fields_are_skipped",
     "no colon here\nX-Mailer: y\nReceived: from x\nSubject: s\n\n", "subject=s|"},
    {"field_name_loses_trailing_blanks", "Subject  : spaced\n\n", "subject=spaced|"},
    {"quoted_from_lines_count_as_from", "From: a@x\n>From: b@y\n\n",
     "from=<a@x><b@y>|sender=<a@x><b@y>|reply_to=<a@x><b@y>|"},
    {"sender_and_reply_to_default_to_from", "From: Joe <joe@x.test>\n\n",
     "from=Joe<joe@x.test>|sender=Joe<joe@x.test>|reply_to=Joe<joe@x.test>|"},
    {"own_sender_and_reply_to", "From: a@x\nSender: s@x\nReply-To: r@x\n\n",
     "from=<a@x>|sender=<s@x>|reply_to=<r@x>|"},
    {"addresses_without_host_get_the_default_host", "To: joe\n\n", "to=<joe@local.host>|"},
    {"newsgroups_lose_their_blanks", "Newsgroups: comp.mail, \tcomp.lang.c\n\n",
     "newsgroups=comp.mail,comp.lang.c|"},
    {"empty_line_ends_the_header", "Subject: s\n\nDate: not a header field\n", "subject=s|"},
    {"content_fields_without_a_body", "MIME-Version: 1.0\nContent-Type: text/html\n\n", ""},
    {"unknown_mime_version_is_reported_once",
     "MIME-Version: 1.0 (produced by x)\nMime-version: 2.0\n\n", "",
     "Warning: message has unknown MIME version"},
};
INSTANTIATE_TEST_SUITE_P(Rows, EnvelopeParse, testing::ValuesIn(kEnvelopeParseRows), row_name());

TEST(EnvelopeParse, SenderAndReplyToAreCopiesOfFrom) {
  auto envelope = parse("From: Joe <joe@x.test>\n\n");
  ASSERT_TRUE(envelope->sender && envelope->reply_to);
  EXPECT_NE(envelope->sender.get(), envelope->from.get());
  EXPECT_NE(envelope->reply_to.get(), envelope->from.get());
}

struct letter_row {
  std::string name;
  std::string letter;
  std::string body;  // "TYPE/SUBTYPE ENCODING parameters bytes lines"
};

class LetterParse : public testing::TestWithParam<letter_row> {};

TEST_P(LetterParse, TheBodyStructureFollowsTheHeader) {
  text_source source;
  text_source_from_memory(source, GetParam().letter);
  const parsed_letter letter = letter_parse(source, "local.host");
  const mail_body& body = *letter.body;
  EXPECT_EQ(
      body_summary(body) + " " + std::to_string(body.bytes) + " " + std::to_string(body.lines),
      GetParam().body);
}

// Content fields count when a MIME-Version field is anywhere in the header.
const letter_row kLetterParseRows[] = {
    {"mime_version_after_the_content_fields", "Content-Type: image/gif\nMIME-Version: 1.0\n\nGIF",
     "IMAGE/GIF 7BIT 3 0"},
    {"mime_version_first", "MIME-Version: 1.0\nContent-Type: image/gif\n\nGIF",
     "IMAGE/GIF 7BIT 3 0"},
    {"mime_version_in_any_case", "Content-Type: image/gif\nmime-VERSION: 1.0\n\nGIF",
     "IMAGE/GIF 7BIT 3 0"},
    {"without_mime_version_plain_text", "Content-Type: image/gif\nSubject: x\n\nGIF\n",
     "TEXT/PLAIN 7BIT CHARSET=US-ASCII 4 1"},
    {"encoded_text",
     "MIME-Version: 1.0\r\nContent-Type: text/plain; charset=gb2312\r\n"
     "Content-Transfer-Encoding: base64\r\n\r\nxOO6ww==\r\n",
     "TEXT/PLAIN BASE64 CHARSET=gb2312 10 1"},
    {"without_an_empty_line_all_is_header", "A: 1\nno empty line",
     "TEXT/PLAIN 7BIT CHARSET=US-ASCII 0 0"},
};
INSTANTIATE_TEST_SUITE_P(Rows, LetterParse, testing::ValuesIn(kLetterParseRows), row_name());

}  // namespace
