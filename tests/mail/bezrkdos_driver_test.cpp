// The Bezrkdos driver: "From " separator lines, read only.

#include "mail/cache.h"
#include "mail/fetch.h"
#include "mail/setflag_expunge.h"
#include "mail/fields.h"
#include "tests/mail/local_fixture.h"

namespace {

const std::string kSeparator = "From li@example.cn Thu Dec  5 11:53:20 1996\n";
const std::string kLetter = "From: li@example.cn\nSubject: hello\n\nbody\n";

class Bezrkdos : public LocalMailboxes {};

TEST_F(Bezrkdos, ReadsMessagesBetweenSeparatorLines) {
  std::string second =
      "Subject: two\n\nFrom here on, a quoted\n>From li Thu Dec  5 11:53:20 1996\n";
  write("mbox", kSeparator + kLetter + "\n" + kSeparator + second);
  mail_stream* stream = open("mbox");
  ASSERT_NE(stream, nullptr) << testing::PrintToString(texts());
  EXPECT_STREQ(stream->driver->name, "bezrkdos");
  EXPECT_TRUE(stream->readonly);
  ASSERT_EQ(stream->nmsgs, 2u);
  EXPECT_EQ(mail_subject_field(stream, 2, 80), "two");
  EXPECT_EQ(mail_fetchheader(stream, 1), "From: li@example.cn\r\nSubject: hello\r\n\r\n");
  EXPECT_EQ(stream->driver->fetchtext(stream, 1), "body\r\n\r\n");
  EXPECT_EQ(mail_elt(stream, 1)->rfc822_size, kLetter.size() + 1 + 5);
  EXPECT_EQ(mail_elt(stream, 1)->day, 5u);
  EXPECT_EQ(mail_elt(stream, 1)->year + 1969u, 1996u);
  EXPECT_EQ(stream->driver->fetchtext(stream, 2),
            "From here on, a quoted\r\n>From li Thu Dec  5 11:53:20 1996\r\n");
  mail_close(stream);
}

TEST_F(Bezrkdos, CrLfFilesAreReadToo) {
  write("mbox", "From li Thu Dec  5 11:53:20 1996\r\nSubject: hi\r\n\r\nbody\r\n");
  mail_stream* stream = open("mbox");
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(mail_elt(stream, 1)->rfc822_size, 21u);
  EXPECT_EQ(stream->driver->fetchtext(stream, 1), "body\r\n");
  mail_close(stream);
}

TEST_F(Bezrkdos, FlagsChangeOnlyInMemoryAndExpungeIsIgnored) {
  std::string contents = kSeparator + kLetter;
  write("mbox", contents);
  mail_stream* stream = open("mbox");
  ASSERT_NE(stream, nullptr);
  mail_setflag(stream, "1", "\\Deleted \\Flagged");
  stream->driver->fetchtext(stream, 1);
  mail_element& element = *mail_elt(stream, 1);
  EXPECT_TRUE(element.deleted && element.flagged && element.seen);
  mail_expunge(stream);
  EXPECT_TRUE(logged("Expunge ignored on readonly mailbox"));
  EXPECT_EQ(stream->nmsgs, 1u);
  EXPECT_EQ(read("mbox"), contents);
  mail_close(stream);
}

TEST_F(Bezrkdos, StatusLinesOfOtherProgramsGiveTheFlags) {
  write("mbox", kSeparator + "Subject: a\nStatus: RO\nX-Status: AF\n\nStatus: R not a header\n" +
                    kSeparator + "Subject: b\n\nbody\n");
  mail_stream* stream = open("mbox");
  ASSERT_NE(stream, nullptr);
  mail_element& first = *mail_elt(stream, 1);
  EXPECT_TRUE(first.seen && first.answered && first.flagged && !first.deleted);
  mail_element& second = *mail_elt(stream, 2);
  EXPECT_FALSE(second.seen || second.answered || second.flagged || second.deleted);
  mail_close(stream);
}

TEST_F(Bezrkdos, AppendWritesSeparatorStatusAndQuotedLines) {
  write("mbox", "");
  std::string message =
      "Subject: test\r\n\r\nFrom here on\r\nFrom someone Thu Dec  5 11:53:20 1996\r\nend";
  ASSERT_TRUE(
      append(bezrkdos_driver, "mbox", message, "(\\Seen \\Answered)", "5-Dec-1996 11:53:20 +0800"))
      << testing::PrintToString(texts());
  EXPECT_EQ(read("mbox"),
            "From someone Thu Dec  5 11:53:20 1996\n"
            "Status: RO\nX-Status: A\n"
            "Subject: test\n\nFrom here on\n>From someone Thu Dec  5 11:53:20 1996\nend\n");
  mail_stream* stream = open("mbox");
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(stream->nmsgs, 1u);
  EXPECT_TRUE(mail_elt(stream, 1)->seen && mail_elt(stream, 1)->answered);
  mail_close(stream);
}

TEST_F(Bezrkdos, AppendAfterALastLineWithoutEndStartsANewLine) {
  write("mbox", kSeparator + "Subject: a\n\nno line end");
  ASSERT_TRUE(append(bezrkdos_driver, "mbox", kLetter, std::nullopt, "5-Dec-1996 11:53:20 +0800"));
  mail_stream* stream = open("mbox");
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(stream->nmsgs, 2u);
  EXPECT_EQ(mail_subject_field(stream, 2, 80), "hello");
  mail_close(stream);
}

TEST_F(Bezrkdos, LinesOfAnyLength) {
  std::string long_line(200000, 'x');
  std::string long_separator = "From " + std::string(2000, 'y') + " Thu Dec  5 11:53:20 1996\n";
  write("mbox", kSeparator + "Subject: long\n\n" + long_line + "\n" + long_separator + "end\n" +
                    "From " + std::string(300, 'z') + " Thu Dec  5 11:53:20 1996\nSubject: c\n\n");
  mail_stream* stream = open("mbox");
  ASSERT_NE(stream, nullptr) << testing::PrintToString(texts());
  ASSERT_EQ(stream->nmsgs, 2u);
  EXPECT_EQ(mail_elt(stream, 1)->rfc822_size,
            15 + 1 + 1 + long_line.size() + 2 + long_separator.size() + 1 + 5);
  EXPECT_EQ(mail_subject_field(stream, 2, 80), "c");
  EXPECT_EQ(mail_fetchheader(stream, 2), "Subject: c\r\n\r\n");
  mail_close(stream);
}

TEST_F(Bezrkdos, CopyAppendsSeparatorAndTextToABezrkdosFile) {
  write("mbox", kSeparator + kLetter);
  write("copy", kSeparator + "Subject: last\n\nno line end");
  mail_stream* stream = open("mbox");
  ASSERT_NE(stream, nullptr);
  EXPECT_TRUE(stream->driver->copy(stream, "1", "copy"));
  EXPECT_EQ(read("copy"), kSeparator + "Subject: last\n\nno line end\n" + kSeparator + kLetter);
  write("tenex", " 5-Dec-1996 11:53:20 +0800,2;000000000000\nx\n");
  EXPECT_FALSE(stream->driver->copy(stream, "1", "tenex"));
  EXPECT_TRUE(logged("Not a Bezrkdos-format mailbox: tenex"));
  mail_close(stream);
}

TEST_F(Bezrkdos, AnUnreadableDateIsOnlyAWarning) {
  write("mbox", "From li Thu Dek  5 11:53:20 1996\n" + kLetter);
  mail_stream* stream = open("mbox");
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(stream->nmsgs, 1u);
  EXPECT_EQ(log_->entries().front(),
            (log_capture::entry{"Unparsable date:  5-Dek-1996 11:53:20-LCL", LOG_WARNING}));
  mail_close(stream);
}

TEST_F(Bezrkdos, AGrownFileMustGoOnWithASeparator) {
  write("mbox", kSeparator + kLetter);
  mail_stream* stream = open("mbox");
  ASSERT_NE(stream, nullptr);
  ASSERT_TRUE(append(bezrkdos_driver, "mbox", kLetter));
  EXPECT_TRUE(stream->driver->ping(stream));
  EXPECT_EQ(stream->nmsgs, 2u);
  write("mbox", read("mbox") + "junk\n");
  EXPECT_FALSE(stream->driver->ping(stream));
  EXPECT_TRUE(logged("Mailbox format invalidated (consult an expert), aborted"));
  mail_close(stream);
}

TEST_F(Bezrkdos, AShrunkFileClosesTheMailbox) {
  write("mbox", kSeparator + kLetter + kSeparator + kLetter);
  mail_stream* stream = open("mbox");
  ASSERT_NE(stream, nullptr);
  write("mbox", kSeparator + kLetter);
  EXPECT_FALSE(stream->driver->ping(stream));
  EXPECT_TRUE(logged("Mailbox shrank!"));
  mail_close(stream);
}

TEST_F(Bezrkdos, OneWordAfterFromIsNoMailbox) {
  write("mbox", "From someone\n" + kLetter);
  EXPECT_EQ(open("mbox"), nullptr);
  EXPECT_TRUE(logged("Not a mailbox: mbox"));
}

}  // namespace
