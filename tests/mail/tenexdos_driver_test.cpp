// The Tenexdos driver over files in a temporary home directory.

#include "platform/storage.h"
#include "tests/mail/local_fixture.h"

const std::string kLetter =
    "From: Li Hua <li@example.cn>\nSubject: hello\n\nfirst line\nsecond line\n";

const std::string kMultipart =
    "From: wang@pku.edu.cn\nSubject: parts\nMIME-Version: 1.0\n"
    "Content-Type: multipart/mixed; boundary=\"b1\"\n\n"
    "--b1\nContent-Type: text/plain\n\npart one\n"
    "--b1\nContent-Type: message/rfc822\n\nSubject: inner\n\ninner body\n"
    "--b1--\n";

using Tenexdos = LocalMailboxes;

TEST_F(Tenexdos, OpensAndReadsEveryMessage) {
  ASSERT_TRUE(
      opens("mail.box", tenex_message(kLetter) + tenex_message(kMultipart, "000000000017")));
  stream_->driver->fetchfast(stream_, "1");
  EXPECT_EQ(mail_elt(stream_, 1)->rfc822_size, kLetter.size() + 5) << "CR LF line ends count";
  EXPECT_STREQ(stream_->driver->name, "tenexdos");
  EXPECT_EQ(stream_->nmsgs, 2u);
  std::string upper_home = home_;
  EXPECT_EQ(stream_->mailbox, text_upper(upper_home) + "\\MAIL.BOX");
  mail_element& second = *mail_elt(stream_, 2);
  EXPECT_TRUE(second.seen && second.deleted && second.flagged && second.answered);
  EXPECT_EQ(mail_elt(stream_, 1)->day, 5u);
  EXPECT_EQ(mail_from_field(stream_, 1, 10), "Li Hua    ");
  EXPECT_EQ(mail_subject_field(stream_, 2, 80), "parts");
  EXPECT_EQ(mail_fetchheader(stream_, 1),
            with_crlf("From: Li Hua <li@example.cn>\nSubject: hello\n\n"));
  EXPECT_EQ(stream_->driver->fetchtext(stream_, 1), with_crlf("first line\nsecond line\n"));
  EXPECT_EQ(read("mail.box"),
            tenex_message(kLetter, "000000000001") + tenex_message(kMultipart, "000000000017"))
      << "reading the text marks the message seen in the file";
}

TEST_F(Tenexdos, BodySectionsComeWithCrLf) {
  ASSERT_TRUE(opens("mail.box", tenex_message(kMultipart)));
  mail_body* body = nullptr;
  ASSERT_NE(mail_fetchstructure(stream_, 1, &body), nullptr);
  ASSERT_NE(body, nullptr);
  EXPECT_EQ(body->type, TYPE_MULTIPART);
  using text = std::optional<std::string_view>;
  EXPECT_EQ(mail_fetchbody(stream_, 1, "1"), text("part one"));
  EXPECT_EQ(mail_fetchbody(stream_, 1, "2"), text("Subject: inner\r\n\r\ninner body"));
  EXPECT_EQ(mail_fetchbody(stream_, 1, "2.1"), text("inner body"));
  for (const char* missing : {"3", "1.x", ""})
    EXPECT_EQ(mail_fetchbody(stream_, 1, missing), std::nullopt) << missing;
  EXPECT_TRUE(mail_elt(stream_, 1)->seen);
}

TEST_F(Tenexdos, AHeaderLongerThanFourKilobytesIsReadWhole) {
  std::string header;
  for (int i = 0; i < 100; ++i)
    header += "Received: from relay" + std::to_string(i) + ".example.cn by mx.example.cn\n";
  ASSERT_GT(header.size(), 4096u);
  ASSERT_TRUE(opens("mail.box", tenex_message(header + "Subject: found at the end\n\nbody\n")));
  EXPECT_EQ(mail_subject_field(stream_, 1, 80), "found at the end");
}

const std::string kDate = " 5-Dec-1996 11:53:20 +0800";
const std::string kElements = "Unable to parse internal header elements at @: #";

struct broken_row {
  std::string name;
  std::string second;  // what follows one good message
  std::string report;  // "@" stands for the offset of the second message, "#" for its first line
};

class BrokenTenexdos : public LocalMailboxes, public testing::WithParamInterface<broken_row> {};

TEST_P(BrokenTenexdos, TheMailboxDoesNotOpen) {
  const broken_row& row = GetParam();
  std::string first = tenex_message(kLetter);
  write("mail.box", first + row.second);
  EXPECT_EQ(mail_open(nullptr, "mail.box", 0), nullptr);
  std::string report = row.report;
  if (std::size_t at = report.find('@'); at != std::string::npos)
    report.replace(at, 1, std::to_string(first.size()));
  if (std::size_t at = report.find('#'); at != std::string::npos)
    report.replace(at, 1, row.second.substr(0, row.second.find('\n')));
  EXPECT_TRUE(logged(report)) << report << " in " << testing::PrintToString(texts());
}

const broken_row kBroken[] = {
    {"zero_length", kDate + ",0;000000000000\nx", kElements},
    {"eleven_flag_digits", kDate + ",1;00000000000\nx", kElements},
    {"thirteen_flag_digits", kDate + ",1;0000000000000\nx", kElements},
    {"bad_date", " 5-Dek-1996 11:53:20 +0800,1;000000000000\nx", kElements},
    {"length_with_junk", kDate + ",1x;000000000000\nx", kElements},
    {"past_the_end", kDate + ",9;000000000000\nx", "Last message runs past end of file"},
    {"no_comma", kDate + " 9;000000000000\nx", "Unable to parse internal header at @: #"},
    {"no_line_end", std::string(70, 'x'),
     "Unable to find end of line at @ in 64 bytes, text: " + std::string(64, 'x')},
};
INSTANTIATE_TEST_SUITE_P(Rows, BrokenTenexdos, testing::ValuesIn(kBroken), row_name());

// The first message's user flag (the file's own) survives every change.
TEST_F(Tenexdos, FlagsAreRewrittenInPlace) {
  const std::string first = tenex_message(kLetter, "400000000000");
  ASSERT_TRUE(opens("mail.box", first + tenex_message(kLetter)));
  EXPECT_EQ(mail_elt(stream_, 1)->user_flags, 1u);
  mail_setflag(stream_, "2", "\\SEEN");
  EXPECT_EQ(read("mail.box"), first + tenex_message(kLetter, "000000000001"));
  stream_->driver->setflag(stream_, "1:2", "(\\Deleted \\answered)");
  EXPECT_EQ(read("mail.box"),
            tenex_message(kLetter, "400000000012") + tenex_message(kLetter, "000000000013"));
  stream_->driver->clearflag(stream_, "2", "\\Seen \\Deleted \\Bogus");
  EXPECT_TRUE(logged("Unknown flag: \\BOGUS"));
  EXPECT_EQ(read("mail.box"),
            tenex_message(kLetter, "400000000012") + tenex_message(kLetter, "000000000010"));
}

TEST_F(Tenexdos, AReadOnlyStreamLeavesTheFileAlone) {
  write("mail.box", tenex_message(kLetter));
  ASSERT_TRUE(opens("mail.box", OPEN_READONLY));
  mail_setflag(stream_, "1", "\\Deleted");
  EXPECT_TRUE(mail_elt(stream_, 1)->deleted);
  mail_expunge(stream_);
  EXPECT_TRUE(logged("Expunge ignored on readonly mailbox"));
  EXPECT_EQ(read("mail.box"), tenex_message(kLetter));
}

TEST_F(Tenexdos, AppendStoresTheTextWithoutCarriageReturnsAndRefusesWhatCannotBeStored) {
  write("new.box", "");
  std::string message = "12345678\r\n12345678\r\n12345678\r\n";
  ASSERT_TRUE(append(tenexdos_driver, "new.box", message, "(\\Seen)", "5-Dec-1996 11:53:20 +0800"))
      << testing::PrintToString(texts());
  const std::string stored = kDate + ",27;000000000001\n12345678\n12345678\n12345678\n";
  EXPECT_EQ(read("new.box"), stored);
  ASSERT_TRUE(opens("new.box"));
  stream_->driver->fetchfast(stream_, "1");
  EXPECT_EQ(mail_elt(stream_, 1)->rfc822_size, 30u);
  EXPECT_EQ(mail_fetchheader(stream_, 1), message);

  EXPECT_FALSE(append(tenexdos_driver, "new.box", "\r\r"));
  EXPECT_TRUE(logged("Can't append an empty message"));
  EXPECT_FALSE(append(tenexdos_driver, "new.box", "x\n", std::nullopt, "32-Dec-1996"));
  EXPECT_TRUE(logged("Bad date in append"));
  EXPECT_EQ(read("new.box"), stored);
  EXPECT_FALSE(append(tenexdos_driver, "missing.box", "x\n"));
  EXPECT_FALSE(exists("missing.box"));
  write("other.box", "not a mailbox\n");
  EXPECT_FALSE(append(tenexdos_driver, "other.box", "x\n"));
  EXPECT_TRUE(logged("Not a Tenexdos-format mailbox: other.box"));
  EXPECT_FALSE(append(tenexdos_driver, "a.b.c", "x\n"));
  EXPECT_TRUE(logged("Invalid mailbox name: a.b.c"));
}

TEST_F(Tenexdos, PingFindsMessagesAppendedByAnotherAndClosesAShrunkMailbox) {
  ASSERT_TRUE(opens("mail.box", tenex_message(kLetter)));
  ASSERT_TRUE(append(tenexdos_driver, "mail.box", kMultipart));
  EXPECT_TRUE(stream_->driver->ping(stream_));
  EXPECT_EQ(stream_->nmsgs, 2u);
  EXPECT_EQ(mail_subject_field(stream_, 2, 80), "parts");
  const std::size_t size = read("mail.box").size();
  write("mail.box", tenex_message(kLetter));
  EXPECT_FALSE(stream_->driver->ping(stream_));
  EXPECT_TRUE(logged("Mailbox shrank from " + std::to_string(size) + " to " +
                     std::to_string(tenex_message(kLetter).size()) + "!"));
  EXPECT_EQ(stream_->driver, nullptr);
  EXPECT_EQ(mail_fetchheader(stream_, 1), "");
}

TEST_F(Tenexdos, ExpungeCompactsTheFile) {
  std::string b = tenex_message("Subject: b\n\ntwo\n");
  ASSERT_TRUE(opens("mail.box", tenex_message("Subject: a\n\none\n") + b +
                                    tenex_message("Subject: c\n\nthree\n")));
  mail_setflag(stream_, "1,3", "\\Deleted");
  mail_expunge(stream_);
  EXPECT_TRUE(logged("Expunged 2 messages"));
  EXPECT_EQ(read("mail.box"), b);
  EXPECT_EQ(stream_->nmsgs, 1u);
  EXPECT_EQ(mail_subject_field(stream_, 1, 80), "b");
  mail_expunge(stream_);
  EXPECT_TRUE(logged("No messages deleted, so no update needed"));
  mail_setflag(stream_, "1", "\\Deleted");
  mail_expunge(stream_);
  EXPECT_EQ(read("mail.box"), "");
  EXPECT_EQ(stream_->nmsgs, 0u);
}

TEST_F(Tenexdos, CopyAndMove) {
  std::string a = tenex_message("Subject: a\n\none\n");
  std::string b = tenex_message("Subject: b\n\ntwo\n");
  write("mail.box", a + b);
  write("empty.box", "");
  ASSERT_TRUE(opens("mail.box"));
  EXPECT_TRUE(stream_->driver->copy(stream_, "2", "empty.box"));
  EXPECT_EQ(read("empty.box"), b);
  EXPECT_TRUE(stream_->driver->move(stream_, "1", "empty.box"));
  EXPECT_EQ(read("empty.box"), b + a);
  EXPECT_TRUE(mail_elt(stream_, 1)->deleted);
  EXPECT_EQ(read("mail.box"), tenex_message("Subject: a\n\none\n", "000000000002") + b);

  EXPECT_FALSE(stream_->driver->copy(stream_, "1", "missing.box"));
  EXPECT_FALSE(exists("missing.box"));
  EXPECT_EQ(notes_, std::vector<std::string>{"[TRYCREATE] Must create mailbox before append"});
  write("dawz.box", " 5-Dec-1996 11:53:20 +0800,3;000000000000\r\nabc");
  EXPECT_FALSE(stream_->driver->copy(stream_, "1", "dawz.box"));
  EXPECT_TRUE(logged("Not a Tenexdos-format mailbox: dawz.box"));
  EXPECT_FALSE(stream_->driver->copy(stream_, "3", "empty.box"));
  EXPECT_TRUE(logged("Sequence invalid"));
}
