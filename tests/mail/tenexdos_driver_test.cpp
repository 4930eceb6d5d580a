// The Tenexdos driver over files in a temporary home directory.

#include "mail/cache.h"
#include "mail/fetch.h"
#include "mail/setflag_expunge.h"
#include "mail/fields.h"
#include "platform/storage.h"
#include "tests/mail/local_fixture.h"
#include "tests/support/table.h"

namespace {

const std::string kLetter =
    "From: Li Hua <li@example.cn>\n"
    "Subject: hello\n"
    "\n"
    "first line\n"
    "second line\n";

const std::string kMultipart =
    "From: wang@pku.edu.cn\n"
    "Subject: parts\n"
    "MIME-Version: 1.0\n"
    "Content-Type: multipart/mixed; boundary=\"b1\"\n"
    "\n"
    "--b1\n"
    "Content-Type: text/plain\n"
    "\n"
    "part one\n"
    "--b1\n"
    "Content-Type: message/rfc822\n"
    "\n"
    "Subject: inner\n"
    "\n"
    "inner body\n"
    "--b1--\n";

class Tenexdos : public LocalMailboxes {};

TEST_F(Tenexdos, OpensAndReadsEveryMessage) {
  write("mail.box", tenex_message(kLetter) + tenex_message(kMultipart, "000000000017"));
  mail_stream* stream = open("mail.box");
  ASSERT_NE(stream, nullptr) << testing::PrintToString(texts());
  EXPECT_STREQ(stream->driver->name, "tenexdos");
  EXPECT_EQ(stream->nmsgs, 2u);
  std::string upper_home = home_;
  EXPECT_EQ(stream->mailbox, text_upper(upper_home) + "\\MAIL.BOX");
  mail_element& second = *mail_elt(stream, 2);
  EXPECT_TRUE(second.seen && second.deleted && second.flagged && second.answered);
  EXPECT_EQ(mail_elt(stream, 1)->day, 5u);
  EXPECT_EQ(mail_from_field(stream, 1, 10), "Li Hua    ");
  EXPECT_EQ(mail_subject_field(stream, 2, 80), "parts");
  EXPECT_EQ(mail_fetchheader(stream, 1),
            with_crlf("From: Li Hua <li@example.cn>\nSubject: hello\n\n"));
  EXPECT_EQ(stream->driver->fetchtext(stream, 1), with_crlf("first line\nsecond line\n"));
  mail_close(stream);
}

TEST_F(Tenexdos, TheSizeCountsCrLfLineEnds) {
  write("mail.box", tenex_message(kLetter));
  mail_stream* stream = open("mail.box");
  ASSERT_NE(stream, nullptr);
  stream->driver->fetchfast(stream, "1");
  EXPECT_EQ(mail_elt(stream, 1)->rfc822_size, kLetter.size() + 5);
  mail_close(stream);
}

TEST_F(Tenexdos, ReadingTheTextMarksTheMessageSeenInTheFile) {
  write("mail.box", tenex_message(kLetter));
  mail_stream* stream = open("mail.box");
  ASSERT_NE(stream, nullptr);
  stream->driver->fetchtext(stream, 1);
  EXPECT_EQ(read("mail.box"), tenex_message(kLetter, "000000000001"));
  mail_close(stream);
}

TEST_F(Tenexdos, BodySectionsComeWithCrLf) {
  write("mail.box", tenex_message(kMultipart));
  mail_stream* stream = open("mail.box");
  ASSERT_NE(stream, nullptr);
  mail_body* body = nullptr;
  ASSERT_NE(mail_fetchstructure(stream, 1, &body), nullptr);
  ASSERT_NE(body, nullptr);
  EXPECT_EQ(body->type, TYPE_MULTIPART);
  EXPECT_EQ(mail_fetchbody(stream, 1, "1"), std::optional<std::string_view>("part one"));
  EXPECT_EQ(mail_fetchbody(stream, 1, "2"),
            std::optional<std::string_view>("Subject: inner\r\n\r\ninner body"));
  EXPECT_EQ(mail_fetchbody(stream, 1, "2.1"), std::optional<std::string_view>("inner body"));
  EXPECT_EQ(mail_fetchbody(stream, 1, "3"), std::nullopt);
  EXPECT_EQ(mail_fetchbody(stream, 1, "1.x"), std::nullopt);
  EXPECT_EQ(mail_fetchbody(stream, 1, ""), std::nullopt);
  EXPECT_TRUE(mail_elt(stream, 1)->seen);
  mail_close(stream);
}

TEST_F(Tenexdos, AHeaderLongerThanFourKilobytesIsReadWhole) {
  std::string header;
  for (int i = 0; i < 100; ++i)
    header += "Received: from relay" + std::to_string(i) + ".example.cn by mx.example.cn\n";
  std::string letter = header + "Subject: found at the end\n\nbody\n";
  ASSERT_GT(header.size(), 4096u);
  write("mail.box", tenex_message(letter));
  mail_stream* stream = open("mail.box");
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(mail_subject_field(stream, 1, 80), "found at the end");
  mail_close(stream);
}

TEST_F(Tenexdos, AFileWithCrLfOnItsFirstLineIsDawz) {
  write("mail.box", " 5-Dec-1996 11:53:20 +0800,3;000000000000\r\nabc");
  mail_stream* stream = open("mail.box");
  ASSERT_NE(stream, nullptr);
  EXPECT_STREQ(stream->driver->name, "dawz");
  mail_close(stream);
}

struct broken_row {
  std::string name;
  std::string second;  // what follows one good message
  std::string report;  // "@" stands for the offset of the second message
};

class BrokenTenexdos : public LocalMailboxes, public testing::WithParamInterface<broken_row> {};

TEST_P(BrokenTenexdos, TheMailboxDoesNotOpen) {
  const broken_row& row = GetParam();
  std::string first = tenex_message(kLetter);
  write("mail.box", first + row.second);
  EXPECT_EQ(open("mail.box"), nullptr);
  std::string report = row.report;
  if (std::size_t at = report.find('@'); at != std::string::npos)
    report.replace(at, 1, std::to_string(first.size()));
  EXPECT_TRUE(logged(report)) << testing::PrintToString(texts());
}

INSTANTIATE_TEST_SUITE_P(
    Rows, BrokenTenexdos,
    testing::Values(
        broken_row{"zero_length", " 5-Dec-1996 11:53:20 +0800,0;000000000000\nx",
                   "Unable to parse internal header elements at @:  5-Dec-1996 11:53:20 "
                   "+0800,0;000000000000"},
        broken_row{"eleven_flag_digits", " 5-Dec-1996 11:53:20 +0800,1;00000000000\nx",
                   "Unable to parse internal header elements at @:  5-Dec-1996 11:53:20 "
                   "+0800,1;00000000000"},
        broken_row{"thirteen_flag_digits", " 5-Dec-1996 11:53:20 +0800,1;0000000000000\nx",
                   "Unable to parse internal header elements at @:  5-Dec-1996 11:53:20 "
                   "+0800,1;0000000000000"},
        broken_row{"bad_date", " 5-Dek-1996 11:53:20 +0800,1;000000000000\nx",
                   "Unable to parse internal header elements at @:  5-Dek-1996 11:53:20 "
                   "+0800,1;000000000000"},
        broken_row{"length_with_junk", " 5-Dec-1996 11:53:20 +0800,1x;000000000000\nx",
                   "Unable to parse internal header elements at @:  5-Dec-1996 11:53:20 "
                   "+0800,1x;000000000000"},
        broken_row{"past_the_end", " 5-Dec-1996 11:53:20 +0800,9;000000000000\nx",
                   "Last message runs past end of file"},
        broken_row{"no_comma", " 5-Dec-1996 11:53:20 +0800 9;000000000000\nx",
                   "Unable to parse internal header at @:  5-Dec-1996 11:53:20 +0800 "
                   "9;000000000000"},
        broken_row{"no_line_end", std::string(70, 'x'),
                   "Unable to find end of line at @ in 64 bytes, text: " + std::string(64, 'x')}),
    row_name());

TEST_F(Tenexdos, FlagsAreRewrittenInPlace) {
  write("mail.box", tenex_message(kLetter) + tenex_message(kLetter));
  mail_stream* stream = open("mail.box");
  ASSERT_NE(stream, nullptr);
  mail_setflag(stream, "2", "\\SEEN");
  EXPECT_EQ(read("mail.box"), tenex_message(kLetter) + tenex_message(kLetter, "000000000001"));
  stream->driver->setflag(stream, "1:2", "(\\Deleted \\answered)");
  EXPECT_EQ(read("mail.box"),
            tenex_message(kLetter, "000000000012") + tenex_message(kLetter, "000000000013"));
  stream->driver->clearflag(stream, "2", "\\Seen \\Deleted \\Bogus");
  EXPECT_TRUE(logged("Unknown flag: \\BOGUS"));
  EXPECT_EQ(read("mail.box"),
            tenex_message(kLetter, "000000000012") + tenex_message(kLetter, "000000000010"));
  mail_close(stream);
}

TEST_F(Tenexdos, UserFlagsOfTheFileSurviveAFlagChange) {
  write("mail.box", tenex_message(kLetter, "400000000000"));
  mail_stream* stream = open("mail.box");
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(mail_elt(stream, 1)->user_flags, 1u);
  mail_setflag(stream, "1", "\\Flagged");
  EXPECT_EQ(read("mail.box"), tenex_message(kLetter, "400000000004"));
  mail_close(stream);
}

TEST_F(Tenexdos, AReadOnlyStreamLeavesTheFileAlone) {
  std::string contents = tenex_message(kLetter);
  write("mail.box", contents);
  mail_stream* stream = open("mail.box", OPEN_READONLY);
  ASSERT_NE(stream, nullptr);
  mail_setflag(stream, "1", "\\Deleted");
  EXPECT_TRUE(mail_elt(stream, 1)->deleted);
  mail_expunge(stream);
  EXPECT_TRUE(logged("Expunge ignored on readonly mailbox"));
  EXPECT_EQ(read("mail.box"), contents);
  mail_close(stream);
}

TEST_F(Tenexdos, AppendStoresTheTextWithoutCarriageReturns) {
  write("new.box", "");
  std::string message = "12345678\r\n12345678\r\n12345678\r\n";
  ASSERT_TRUE(append(tenexdos_driver, "new.box", message, "(\\Seen)", "5-Dec-1996 11:53:20 +0800"))
      << testing::PrintToString(texts());
  EXPECT_EQ(read("new.box"),
            " 5-Dec-1996 11:53:20 +0800,27;000000000001\n"
            "12345678\n12345678\n12345678\n");
  mail_stream* stream = open("new.box");
  ASSERT_NE(stream, nullptr);
  stream->driver->fetchfast(stream, "1");
  EXPECT_EQ(mail_elt(stream, 1)->rfc822_size, 30u);
  EXPECT_EQ(mail_fetchheader(stream, 1), message);
  mail_close(stream);
}

TEST_F(Tenexdos, AppendRefusesWhatCannotBeStored) {
  write("mail.box", tenex_message(kLetter));
  std::string before = read("mail.box");
  EXPECT_FALSE(append(tenexdos_driver, "mail.box", "\r\r"));
  EXPECT_TRUE(logged("Can't append an empty message"));
  EXPECT_FALSE(append(tenexdos_driver, "mail.box", "x\n", std::nullopt, "32-Dec-1996"));
  EXPECT_TRUE(logged("Bad date in append"));
  EXPECT_EQ(read("mail.box"), before);
  EXPECT_FALSE(append(tenexdos_driver, "missing.box", "x\n"));
  EXPECT_FALSE(exists("missing.box"));
  write("other.box", "not a mailbox\n");
  EXPECT_FALSE(append(tenexdos_driver, "other.box", "x\n"));
  EXPECT_TRUE(logged("Not a Tenexdos-format mailbox: other.box"));
  EXPECT_FALSE(append(tenexdos_driver, "a.b.c", "x\n"));
  EXPECT_TRUE(logged("Invalid mailbox name: a.b.c"));
}

TEST_F(Tenexdos, AnotherStreamsPingFindsAppendedMessages) {
  write("mail.box", tenex_message(kLetter));
  mail_stream* stream = open("mail.box");
  ASSERT_NE(stream, nullptr);
  ASSERT_TRUE(append(tenexdos_driver, "mail.box", kMultipart));
  EXPECT_TRUE(stream->driver->ping(stream));
  EXPECT_EQ(stream->nmsgs, 2u);
  EXPECT_EQ(mail_subject_field(stream, 2, 80), "parts");
  mail_close(stream);
}

TEST_F(Tenexdos, AFileThatShrankClosesTheMailbox) {
  write("mail.box", tenex_message(kLetter) + tenex_message(kLetter));
  mail_stream* stream = open("mail.box");
  ASSERT_NE(stream, nullptr);
  write("mail.box", tenex_message(kLetter));
  EXPECT_FALSE(stream->driver->ping(stream));
  long size = static_cast<long>(tenex_message(kLetter).size());
  EXPECT_TRUE(logged("Mailbox shrank from " + std::to_string(2 * size) + " to " +
                     std::to_string(size) + "!"));
  EXPECT_EQ(stream->driver, nullptr);
  EXPECT_EQ(mail_fetchheader(stream, 1), "");
  mail_close(stream);
}

TEST_F(Tenexdos, ExpungeCompactsTheFile) {
  std::string a = tenex_message("Subject: a\n\none\n");
  std::string b = tenex_message("Subject: b\n\ntwo\n");
  std::string c = tenex_message("Subject: c\n\nthree\n");
  write("mail.box", a + b + c);
  mail_stream* stream = open("mail.box");
  ASSERT_NE(stream, nullptr);
  mail_setflag(stream, "1,3", "\\Deleted");
  mail_expunge(stream);
  EXPECT_TRUE(logged("Expunged 2 messages"));
  EXPECT_EQ(read("mail.box"), b);
  EXPECT_EQ(stream->nmsgs, 1u);
  EXPECT_EQ(mail_subject_field(stream, 1, 80), "b");
  mail_expunge(stream);
  EXPECT_TRUE(logged("No messages deleted, so no update needed"));
  mail_setflag(stream, "1", "\\Deleted");
  mail_expunge(stream);
  EXPECT_EQ(read("mail.box"), "");
  EXPECT_EQ(stream->nmsgs, 0u);
  mail_close(stream);
}

TEST_F(Tenexdos, CopyAndMove) {
  std::string a = tenex_message("Subject: a\n\none\n");
  std::string b = tenex_message("Subject: b\n\ntwo\n");
  write("mail.box", a + b);
  write("empty.box", "");
  mail_stream* stream = open("mail.box");
  ASSERT_NE(stream, nullptr);
  EXPECT_TRUE(stream->driver->copy(stream, "2", "empty.box"));
  EXPECT_EQ(read("empty.box"), b);
  EXPECT_TRUE(stream->driver->move(stream, "1", "empty.box"));
  EXPECT_EQ(read("empty.box"), b + a);
  EXPECT_TRUE(mail_elt(stream, 1)->deleted);
  EXPECT_EQ(read("mail.box"), tenex_message("Subject: a\n\none\n", "000000000002") + b);

  EXPECT_FALSE(stream->driver->copy(stream, "1", "missing.box"));
  EXPECT_FALSE(exists("missing.box"));
  EXPECT_EQ(notes_, std::vector<std::string>{"[TRYCREATE] Must create mailbox before append"});
  write("dawz.box", " 5-Dec-1996 11:53:20 +0800,3;000000000000\r\nabc");
  EXPECT_FALSE(stream->driver->copy(stream, "1", "dawz.box"));
  EXPECT_TRUE(logged("Not a Tenexdos-format mailbox: dawz.box"));
  EXPECT_FALSE(stream->driver->copy(stream, "3", "empty.box"));
  EXPECT_TRUE(logged("Sequence invalid"));
  mail_close(stream);
}

}  // namespace
