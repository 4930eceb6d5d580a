// The Dawz driver: Tenexdos with CR LF, messages stored as given.

#include "tests/mail/local_fixture.h"

std::string dawz_message(const std::string& text, const std::string& flags = "000000000000") {
  return " 5-Dec-1996 11:53:20 +0800," + std::to_string(text.size()) + ";" + flags + "\r\n" + text;
}

const std::string kLetter = "From: li@example.cn\r\nSubject: hello\r\n\r\nbody\r\n";

using Dawz = LocalMailboxes;

// Flags are written before the CR LF.
TEST_F(Dawz, TextsComeBackAsStored) {
  ASSERT_TRUE(opens("mail.box", dawz_message(kLetter) + dawz_message(kLetter)));
  EXPECT_STREQ(stream_->driver->name, "dawz");
  EXPECT_EQ(mail_elt(stream_, 1)->rfc822_size, kLetter.size());
  EXPECT_EQ(mail_fetchheader(stream_, 1), "From: li@example.cn\r\nSubject: hello\r\n\r\n");
  EXPECT_EQ(stream_->driver->fetchtext(stream_, 1), "body\r\n");
  EXPECT_EQ(mail_fetchbody(stream_, 1, "1"), std::optional<std::string_view>("body\r\n"));
  mail_setflag(stream_, "2", "(\\Flagged \\Answered)");
  EXPECT_EQ(read("mail.box"),
            dawz_message(kLetter, "000000000001") + dawz_message(kLetter, "000000000014"));
}

TEST_F(Dawz, AppendStoresTheMessageUnchanged) {
  write("mail.box", "");
  std::string message = "Subject: unix lines\n\nbody\n";
  ASSERT_TRUE(append(dawz_driver, "mail.box", message, "\\Deleted", "5-Dec-1996 11:53:20 +0800"));
  EXPECT_EQ(read("mail.box"), dawz_message(message, "000000000002"));
  ASSERT_TRUE(opens("mail.box"));
  EXPECT_EQ(mail_elt(stream_, 1)->rfc822_size, message.size());
  // The header ends at its empty line whatever the line ends.
  EXPECT_EQ(mail_subject_field(stream_, 1, 80), "unix lines");
  EXPECT_EQ(stream_->driver->fetchtext(stream_, 1), "body\n");
  const std::string before = read("mail.box");
  EXPECT_FALSE(append(dawz_driver, "mail.box", ""));
  EXPECT_TRUE(logged("Can't append an empty message"));
  EXPECT_EQ(read("mail.box"), before);
}

TEST_F(Dawz, OpeningAMissingInboxMakesIt) {
  auto stream = std::make_unique<mail_stream>();
  stream->driver = &dawz_driver;
  stream->mailbox = "inbox";
  ASSERT_EQ(dawz_driver.open(stream.get()), stream.get()) << testing::PrintToString(texts());
  EXPECT_EQ(stream->nmsgs, 0u);
  EXPECT_TRUE(exists("INBOX"));
  EXPECT_EQ(read("INBOX"), "");
  mail_close(stream.release());
}

// Appending makes a missing INBOX; another mailbox must be created first.
TEST_F(Dawz, AppendingToAMissingMailbox) {
  EXPECT_FALSE(append(dawz_driver, "new.box", kLetter));
  EXPECT_EQ(notes_, std::vector<std::string>{"[TRYCREATE] Must create mailbox before append"});
  EXPECT_FALSE(exists("new.box"));
  ASSERT_TRUE(append(dawz_driver, "INBOX", kLetter)) << testing::PrintToString(texts());
  ASSERT_TRUE(opens("INBOX"));
  EXPECT_STREQ(stream_->driver->name, "dawz");
  EXPECT_EQ(stream_->nmsgs, 1u);
}

TEST_F(Dawz, ExpungeMovesKeptMessagesByTheirStoredLength) {
  std::string a = dawz_message("Subject: a\r\n\r\none\r\n");
  std::string b = dawz_message("Subject: b\r\n\r\ntwo\r\n");
  std::string c = dawz_message("Subject: c\r\n\r\nthree\r\n", "000000000002");
  ASSERT_TRUE(opens("mail.box", a + c + b + c));
  mail_expunge(stream_);
  EXPECT_EQ(read("mail.box"), a + b);
  // The CR of the CR LF unfolds to a blank.
  EXPECT_EQ(mail_subject_field(stream_, 2, 80), "b ");
}

TEST_F(Dawz, CopyTakesOnlyDawzDestinations) {
  write("mail.box", dawz_message(kLetter));
  write("tenex.box", " 5-Dec-1996 11:53:20 +0800,2;000000000000\nx\n");
  write("copy.box", "");
  ASSERT_TRUE(opens("mail.box"));
  EXPECT_FALSE(stream_->driver->copy(stream_, "1", "tenex.box"));
  EXPECT_TRUE(logged("Not a Dawz-format mailbox: tenex.box"));
  EXPECT_TRUE(stream_->driver->copy(stream_, "1", "copy.box"));
  EXPECT_EQ(read("copy.box"), dawz_message(kLetter));
}
