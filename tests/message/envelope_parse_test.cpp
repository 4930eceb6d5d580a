#include "message/envelope_parse.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/log_capture.h"
#include "tests/support/table.h"

namespace {

std::unique_ptr<mail_envelope> parse(const std::string& header) {
  std::unique_ptr<mail_envelope> envelope;
  envelope_parse(envelope, nullptr, header, nullptr, "local.host");
  return envelope;
}

parsed_letter parse_letter(const std::string& text) {
  text_source source;
  text_source_from_memory(source, text);
  return letter_parse(source, "local.host");
}

std::string mailboxes(const mail_address* list) {
  std::string shown;
  for (; list; list = list->next.get())
    shown += list->mailbox.value_or("-") + "@" + list->host.value_or("-") + " ";
  return shown;
}

TEST(EnvelopeParse, CrLfLinesEndInOneBlank) {
  auto envelope = parse("Subject: hello\r\nDate: 5 Dec 1996\r\n\r\n");
  EXPECT_EQ(envelope->subject, "hello ");
  EXPECT_EQ(envelope->date, "5 Dec 1996 ");
}

TEST(EnvelopeParse, ContinuationLinesJoinWithOneBlank) {
  auto envelope = parse("Subject: one\n\ttwo\n   three\nTo: a@b\n\n");
  EXPECT_EQ(envelope->subject, "one two three");
  EXPECT_EQ(mailboxes(envelope->to.get()), "a@b ");
}

TEST(EnvelopeParse, RunsOfBlanksAndTabsCollapse) {
  auto envelope = parse("Subject:\t a  \t b\n\n");
  EXPECT_EQ(envelope->subject, "a b");
}

TEST(EnvelopeParse, FirstTextFieldWinsAndListsGather) {
  auto envelope = parse(
      "subject: first\nSUBJECT: second\nDate: d1\nDate: d2\nTo: a@x\nto: b@y, c@z\n"
      "Message-ID: <one@x>\nMessage-ID: <two@x>\nIn-Reply-To: <r@x>\ncc: d@w\nBcc: e@v\n\n");
  EXPECT_EQ(envelope->subject, "first");
  EXPECT_EQ(envelope->date, "d1");
  EXPECT_EQ(envelope->message_id, "<one@x>");
  EXPECT_EQ(envelope->in_reply_to, "<r@x>");
  EXPECT_EQ(mailboxes(envelope->to.get()), "a@x b@y c@z ");
  EXPECT_EQ(mailboxes(envelope->cc.get()), "d@w ");
  EXPECT_EQ(mailboxes(envelope->bcc.get()), "e@v ");
}

TEST(EnvelopeParse, LinesWithoutColonAndUnknownFieldsAreSkipped) {
  auto envelope = parse("no colon here\nX-Mailer: y\nReceived: from x\nSubject: s\n\n");
  EXPECT_EQ(envelope->subject, "s");
  EXPECT_FALSE(envelope->date);
}

TEST(EnvelopeParse, FieldNameLosesTrailingBlanks) {
  auto envelope = parse("Subject  : spaced\n\n");
  EXPECT_EQ(envelope->subject, "spaced");
}

TEST(EnvelopeParse, QuotedFromLinesCountAsFrom) {
  auto envelope = parse("From: a@x\n>From: b@y\n\n");
  EXPECT_EQ(mailboxes(envelope->from.get()), "a@x b@y ");
}

TEST(EnvelopeParse, SenderAndReplyToDefaultToSeparateCopiesOfFrom) {
  auto envelope = parse("From: Joe <joe@x.test>\n\n");
  ASSERT_TRUE(envelope->sender && envelope->reply_to);
  EXPECT_EQ(mailboxes(envelope->sender.get()), "joe@x.test ");
  EXPECT_EQ(envelope->reply_to->personal, "Joe");
  EXPECT_NE(envelope->sender.get(), envelope->from.get());
  EXPECT_NE(envelope->reply_to.get(), envelope->from.get());
  auto own = parse("From: a@x\nSender: s@x\nReply-To: r@x\n\n");
  EXPECT_EQ(mailboxes(own->sender.get()), "s@x ");
  EXPECT_EQ(mailboxes(own->reply_to.get()), "r@x ");
}

TEST(EnvelopeParse, AddressesWithoutHostGetTheDefaultHost) {
  auto envelope = parse("To: joe\n\n");
  EXPECT_EQ(mailboxes(envelope->to.get()), "joe@local.host ");
}

TEST(EnvelopeParse, NewsgroupsLoseTheirBlanks) {
  auto envelope = parse("Newsgroups: comp.mail, \tcomp.lang.c\n\n");
  EXPECT_EQ(envelope->newsgroups, "comp.mail,comp.lang.c");
}

TEST(EnvelopeParse, EmptyLineEndsTheHeader) {
  auto envelope = parse("Subject: s\n\nDate: not a header field\n");
  EXPECT_FALSE(envelope->date);
}

TEST(EnvelopeParse, UnknownMimeVersionIsReportedOnce) {
  log_capture log;
  parse("MIME-Version: 1.0 (produced by x)\nMime-version: 2.0\n\n");
  EXPECT_EQ(
      log.entries(),
      (std::vector<log_capture::entry>{{"Warning: message has unknown MIME version", LOG_PARSE}}));
}

TEST(EnvelopeParse, ContentFieldsNeedAMimeVersionAnywhereInTheHeader) {
  auto before = parse_letter("Content-Type: image/gif\nMIME-Version: 1.0\n\nGIF");
  EXPECT_EQ(before.body->type, TYPE_IMAGE);
  EXPECT_EQ(before.body->subtype, "GIF");
  auto after = parse_letter("MIME-Version: 1.0\nContent-Type: image/gif\n\nGIF");
  EXPECT_EQ(after.body->type, TYPE_IMAGE);
  auto lower_case = parse_letter("Content-Type: image/gif\nmime-VERSION: 1.0\n\nGIF");
  EXPECT_EQ(lower_case.body->type, TYPE_IMAGE);
  auto without = parse_letter("Content-Type: image/gif\nSubject: x\n\nGIF");
  EXPECT_EQ(without.body->type, TYPE_TEXT);
  EXPECT_EQ(without.body->subtype, "PLAIN");
}

TEST(EnvelopeParse, WithoutBodyNoContentFieldIsRead) {
  std::unique_ptr<mail_envelope> envelope;
  envelope_parse(envelope, nullptr, "MIME-Version: 1.0\nContent-Type: text/html\n\n", nullptr, "h");
  EXPECT_TRUE(envelope);
}

TEST(EnvelopeParse, TheBodyStructureFollowsTheHeader) {
  auto letter = parse_letter(
      "MIME-Version: 1.0\r\nContent-Type: text/plain; charset=gb2312\r\n"
      "Content-Transfer-Encoding: base64\r\n\r\nxOO6ww==\r\n");
  EXPECT_EQ(letter.body->type, TYPE_TEXT);
  EXPECT_EQ(letter.body->encoding, ENCODING_BASE64);
  ASSERT_TRUE(letter.body->parameter_list);
  EXPECT_EQ(letter.body->parameter_list->value, "gb2312");
  EXPECT_EQ(letter.body->bytes, 10u);
  EXPECT_EQ(letter.body->lines, 1u);
}

TEST(MessageHeaderRead, StopsAfterTheEmptyLine) {
  text_source source;
  text_source_from_memory(source, "A: 1\r\nB: 2\r\n\r\nbody\r\n");
  EXPECT_EQ(message_header_read(source), "A: 1\r\nB: 2\r\n\r\n");
  EXPECT_EQ(text_position(source), 14u);
  text_source_from_memory(source, "A: 1\nB: 2\n\nbody");
  EXPECT_EQ(message_header_read(source), "A: 1\nB: 2\n\n");
  text_source_from_memory(source, "A: 1\nno empty line");
  EXPECT_EQ(message_header_read(source), "A: 1\nno empty line");
  EXPECT_EQ(text_remaining(source), 0u);
}

}  // namespace
