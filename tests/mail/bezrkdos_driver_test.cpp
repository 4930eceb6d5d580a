// The Bezrkdos driver: "From " separator lines, read only.

#include "tests/mail/local_fixture.h"

const std::string kSeparator = "From li@example.cn Thu Dec  5 11:53:20 1996\n";
const std::string kLetter = "From: li@example.cn\nSubject: hello\n\nbody\n";

using Bezrkdos = LocalMailboxes;

TEST_F(Bezrkdos, ReadsMessagesBetweenSeparatorLines) {
  ASSERT_TRUE(opens(
      "mbox", kSeparator + kLetter + "\n" + kSeparator +
                  "Subject: two\n\nFrom here on, a quoted\n>From li Thu Dec  5 11:53:20 1996\n"));
  EXPECT_STREQ(stream_->driver->name, "bezrkdos");
  EXPECT_TRUE(stream_->readonly);
  ASSERT_EQ(stream_->nmsgs, 2u);
  EXPECT_EQ(mail_subject_field(stream_, 2, 80), "two");
  EXPECT_EQ(mail_fetchheader(stream_, 1), "From: li@example.cn\r\nSubject: hello\r\n\r\n");
  EXPECT_EQ(stream_->driver->fetchtext(stream_, 1), "body\r\n\r\n");
  EXPECT_EQ(mail_elt(stream_, 1)->rfc822_size, kLetter.size() + 1 + 5);
  EXPECT_EQ(mail_elt(stream_, 1)->day, 5u);
  EXPECT_EQ(mail_elt(stream_, 1)->year + 1969u, 1996u);
  EXPECT_EQ(stream_->driver->fetchtext(stream_, 2),
            "From here on, a quoted\r\n>From li Thu Dec  5 11:53:20 1996\r\n");
}

TEST_F(Bezrkdos, CrLfFilesAreReadToo) {
  ASSERT_TRUE(opens("mbox", "From li Thu Dec  5 11:53:20 1996\r\nSubject: hi\r\n\r\nbody\r\n"));
  EXPECT_EQ(mail_elt(stream_, 1)->rfc822_size, 21u);
  EXPECT_EQ(stream_->driver->fetchtext(stream_, 1), "body\r\n");
}

TEST_F(Bezrkdos, FlagsChangeOnlyInMemoryAndExpungeIsIgnored) {
  ASSERT_TRUE(opens("mbox", kSeparator + kLetter));
  mail_setflag(stream_, "1", "\\Deleted \\Flagged");
  stream_->driver->fetchtext(stream_, 1);
  mail_element& element = *mail_elt(stream_, 1);
  EXPECT_TRUE(element.deleted && element.flagged && element.seen);
  mail_expunge(stream_);
  EXPECT_TRUE(logged("Expunge ignored on readonly mailbox"));
  EXPECT_EQ(stream_->nmsgs, 1u);
  EXPECT_EQ(read("mbox"), kSeparator + kLetter);
}

TEST_F(Bezrkdos, StatusLinesOfOtherProgramsGiveTheFlags) {
  ASSERT_TRUE(opens("mbox", kSeparator +
                                "Subject: a\nStatus: RO\nX-Status: AF\n\nStatus: R not a header\n" +
                                kSeparator + "Subject: b\n\nbody\n"));
  mail_element& first = *mail_elt(stream_, 1);
  EXPECT_TRUE(first.seen && first.answered && first.flagged && !first.deleted);
  mail_element& second = *mail_elt(stream_, 2);
  EXPECT_FALSE(second.seen || second.answered || second.flagged || second.deleted);
}

// After a last line without its end the letter starts on a new line.
TEST_F(Bezrkdos, AppendWritesSeparatorStatusAndQuotedLines) {
  const std::string old = kSeparator + "Subject: a\n\nno line end";
  write("mbox", old);
  std::string message =
      "Subject: test\r\n\r\nFrom here on\r\nFrom someone Thu Dec  5 11:53:20 1996\r\nend";
  ASSERT_TRUE(
      append(bezrkdos_driver, "mbox", message, "(\\Seen \\Answered)", "5-Dec-1996 11:53:20 +0800"))
      << testing::PrintToString(texts());
  EXPECT_EQ(read("mbox"),
            old +
                "\nFrom someone Thu Dec  5 11:53:20 1996\nStatus: RO\nX-Status: A\n"
                "Subject: test\n\nFrom here on\n>From someone Thu Dec  5 11:53:20 1996\nend\n");
  ASSERT_TRUE(opens("mbox"));
  EXPECT_EQ(stream_->nmsgs, 2u);
  EXPECT_EQ(mail_subject_field(stream_, 2, 80), "test");
  EXPECT_TRUE(mail_elt(stream_, 2)->seen && mail_elt(stream_, 2)->answered);
}

TEST_F(Bezrkdos, LinesOfAnyLength) {
  std::string long_line(200000, 'x');
  std::string long_separator = "From " + std::string(2000, 'y') + " Thu Dec  5 11:53:20 1996\n";
  ASSERT_TRUE(opens("mbox", kSeparator + "Subject: long\n\n" + long_line + "\n" + long_separator +
                                "end\n" + "From " + std::string(300, 'z') +
                                " Thu Dec  5 11:53:20 1996\nSubject: c\n\n"));
  ASSERT_EQ(stream_->nmsgs, 2u);
  EXPECT_EQ(mail_elt(stream_, 1)->rfc822_size,
            15 + 1 + 1 + long_line.size() + 2 + long_separator.size() + 1 + 5);
  EXPECT_EQ(mail_subject_field(stream_, 2, 80), "c");
  EXPECT_EQ(mail_fetchheader(stream_, 2), "Subject: c\r\n\r\n");
}

TEST_F(Bezrkdos, CopyAppendsSeparatorAndTextToABezrkdosFile) {
  write("mbox", kSeparator + kLetter);
  write("copy", kSeparator + "Subject: last\n\nno line end");
  ASSERT_TRUE(opens("mbox"));
  EXPECT_TRUE(stream_->driver->copy(stream_, "1", "copy"));
  EXPECT_EQ(read("copy"), kSeparator + "Subject: last\n\nno line end\n" + kSeparator + kLetter);
  write("tenex", " 5-Dec-1996 11:53:20 +0800,2;000000000000\nx\n");
  EXPECT_FALSE(stream_->driver->copy(stream_, "1", "tenex"));
  EXPECT_TRUE(logged("Not a Bezrkdos-format mailbox: tenex"));
}

// An unreadable date is only a warning; one word after "From " is no separator.
TEST_F(Bezrkdos, OddSeparatorLines) {
  ASSERT_TRUE(opens("mbox", "From li Thu Dek  5 11:53:20 1996\n" + kLetter));
  EXPECT_EQ(stream_->nmsgs, 1u);
  EXPECT_EQ(log_->entries().front(),
            (log_capture::entry{"Unparsable date:  5-Dek-1996 11:53:20-LCL", LOG_WARNING}));
  write("mbox", "From someone\n" + kLetter);
  EXPECT_FALSE(opens("mbox"));
  EXPECT_TRUE(logged("Not a mailbox: mbox"));
}

TEST_F(Bezrkdos, PingFollowsAGrownFileAndClosesAChangedOrShrunkOne) {
  ASSERT_TRUE(opens("mbox", kSeparator + kLetter + kSeparator + kLetter));
  ASSERT_TRUE(append(bezrkdos_driver, "mbox", kLetter));
  EXPECT_TRUE(stream_->driver->ping(stream_));
  EXPECT_EQ(stream_->nmsgs, 3u);
  write("mbox", read("mbox") + "junk\n");
  EXPECT_FALSE(stream_->driver->ping(stream_));
  EXPECT_TRUE(logged("Mailbox format invalidated (consult an expert), aborted"));
  ASSERT_TRUE(opens("mbox"));
  write("mbox", kSeparator + kLetter);
  EXPECT_FALSE(stream_->driver->ping(stream_));
  EXPECT_TRUE(logged("Mailbox shrank!"));
}
