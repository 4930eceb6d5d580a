// kestrel-mail's mailbox commands on local files in a home of the test's own.

#include <stdlib.h>

#include <filesystem>

#include "tests/support/file_text.h"
#include "tests/support/kestrel_mail.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/table.h"

namespace {

using testing::_;
using testing::AllOf;
using testing::HasSubstr;

const std::string kTenex =
    " 5-Dec-1996 11:53:20 +0800,56;000000000001\n"
    "From: Li Hua <li@example.cn>\nSubject: hello\n\nfirst body\n"
    "24-Mar-2001 08:00:00 -0500,114;000000000014\n"
    "From: wang@pku.edu.cn\nSubject: parts\nContent-Type: multipart/mixed; boundary=b\n"
    "MIME-Version: 1.0\n\n--b\n\npart\n--b--\n";
// The second letter of kTenex, as it stands in the file.
const std::string kSecond = kTenex.substr(kTenex.find("24-Mar-2001"));

const std::string kBezrk =
    "From li Thu Dec  5 11:53:20 1996\nSubject: old letter\nStatus: RO\n\nold body\n";

class MailboxCommands : public testing::Test {
 protected:
  void SetUp() override {
    setenv("HOME", home_.path().c_str(), 1);
    write("TENEX.BOX", kTenex);
  }
  void write(const std::string& file, const std::string& bytes) {
    std::ofstream(home_.file(file), std::ios::binary) << bytes;
  }
  std::string read(const std::string& file) const { return file_text(home_.file(file)); }

  scratch_folder home_;
};

class OneCommand : public MailboxCommands, public testing::WithParamInterface<cli_row> {};

TEST_P(OneCommand, PrintsAndExitsAsDocumented) {
  expect_runs({GetParam()});
}

const std::string kHeader = "From: Li Hua <li@example.cn>\r\nSubject: hello\r\n\r\n";
const std::string kCatUsage = "usage: kestrel-mail cat MAILBOX N [--header|--text|--section S]\n";

INSTANTIATE_TEST_SUITE_P(
    Rows, OneCommand,
    testing::Values(
        cli_row{"ls", args("ls", "tenex.box"), 0,
                "    1 S...  5-Dec-1996 11:53:20 +0800       60 Li Hua               hello\n"
                "    2 ..FA 24-Mar-2001 08:00:00 -0500      123 wang@pku.edu.cn      parts\n",
                ""},
        cli_row{"ls_json", args("ls", "--json", "tenex.box"), 0,
                json_with(R"([{"msgno": 1, "flags": "S...", "date": " 5-Dec-1996 11:53:20 +0800",)"
                          R"( "size": 60, "from": "Li Hua", "subject": "hello"},)"
                          R"( {"from": "wang@pku.edu.cn"}])")},
        cli_row{"ls_missing_mailbox", args("ls", "missing.box"), 1, "",
                "error: Can't open mailbox missing.box: no such mailbox\n"
                "kestrel-mail: cannot open missing.box\n"},
        cli_row{"cat", args("cat", "tenex.box", "1"), 0, kHeader + "first body\r\n"},
        cli_row{"cat_header", args("cat", "tenex.box", "1", "--header"), 0, kHeader},
        cli_row{"cat_text", args("cat", "--text", "tenex.box", "1"), 0, "first body\r\n"},
        cli_row{"cat_section", args("cat", "tenex.box", "2", "--section", "1"), 0, "part"},
        cli_row{"cat_missing_section", args("cat", "tenex.box", "2", "--section", "2"), 1, _,
                "kestrel-mail: message 2 has no section 2\n"},
        cli_row{"cat_missing_message", args("cat", "tenex.box", "3"), 1, _,
                "kestrel-mail: tenex.box has no message 3 (it holds 2)\n"},
        cli_row{"cat_bad_number", args("cat", "tenex.box", "x1"), 1},
        cli_row{"cat_header_and_text", args("cat", "tenex.box", "1", "--header", "--text"), 2},
        cli_row{"flag_missing_message", args("flag", "tenex.box", "3", "\\Seen"), 1, _,
                "error: Sequence invalid\n"},
        cli_row{"flag_unknown_flag", args("flag", "tenex.box", "1", "\\Bogus"), 1},
        cli_row{"search_unknown_criterion", args("search", "tenex.box", "FLAGGED", "OR", "x"), 1, _,
                "error: Unknown search criterion\n"},
        cli_row{"search_subject", args("search", "tenex.box", "SUBJECT", "\"PARTS\""), 0, "2\n"},
        cli_row{"search_in_one_argument", args("search", "tenex.box", "SINCE 1-Jan-1990 BODY body"),
                0, "1\n"},
        cli_row{"search_all", args("search", "tenex.box", "ALL"), 0, "1\n2\n"},
        cli_row{"search_none", args("search", "tenex.box", "DELETED"), 0, ""},
        cli_row{"ls_without_mailbox", args("ls"), 2, _,
                "usage: kestrel-mail ls MAILBOX [--json]\n"},
        cli_row{"ls_unknown_option", args("ls", "x", "--long"), 2, _,
                "usage: kestrel-mail ls MAILBOX [--json]\n"},
        cli_row{"cat_without_number", args("cat", "x"), 2, _, kCatUsage},
        cli_row{"flag_without_list", args("flag", "x", "1"), 2, _,
                "usage: kestrel-mail flag MAILBOX SEQUENCE LIST [--clear]\n"},
        cli_row{"user_without_name", args("expunge", "x", "--user"), 2, _,
                "usage: kestrel-mail expunge MAILBOX\n"},
        cli_row{"rename_one_name", args("rename", "x"), 2, _,
                "usage: kestrel-mail rename OLD NEW\n"},
        cli_row{"send_without_server", args("send", "--from", "a@b", "--to", "c@d"), 2, _,
                "usage: kestrel-mail send --server HOST[:PORT][/tls|/starttls] --from ADDRESS "
                "--to LIST [--cc LIST] [--bcc LIST] [--subject TEXT] [--charset LABEL] [--8bit] "
                "[--attach FILE]... [--out FILE.box] [--dry-run] [--user NAME] [--cafile FILE] "
                "[--allow-plain] [--debug] [FILE]\n"}),
    row_name());

TEST_F(MailboxCommands, ReadingATextMarksItSeen) {
  ASSERT_EQ(kestrel_mail({"cat", "tenex.box", "2"}).exit_code, 0);
  EXPECT_NE(read("TENEX.BOX").find(";000000000015\n"), std::string::npos);
}

TEST_F(MailboxCommands, AppendFromAFileAndFromStandardInput) {
  write("letter.txt", "Subject: from a file\n\nbody\n");
  expect_runs(
      {{"",
        args("append", "tenex.box", home_.file("letter.txt"), "--flags", "(\\Flagged)", "--date",
             "1-Jan-2020 10:00:00 +0100"),
        0},
       {"", args("append", "tenex.box"), 0, _, _, "Subject: from input\n\nbody\n"},
       {"", args("ls", "tenex.box"), 0,
        AllOf(HasSubstr("    3 ..F.  1-Jan-2020 10:00:00 +0100"), HasSubstr("from input\n"))}});
  EXPECT_NE(read("TENEX.BOX")
                .find(" 1-Jan-2020 10:00:00 +0100,27;000000000004\n"
                      "Subject: from a file\n\nbody\n"),
            std::string::npos);
}

TEST_F(MailboxCommands, AppendToAMissingMailboxAsksForItToBeMade) {
  expect_runs({{"", args("append", "new.box"), 1, _,
                "info: [TRYCREATE] Must create mailbox before append\n"
                "kestrel-mail: nothing appended to new.box\n",
                "Subject: x\n\ny\n"},
               {"", args("create", "new.box"), 0},
               {"", args("append", "new.box"), 0, _, _, "Subject: x\n\ny\n"}});
  EXPECT_EQ(read("NEW.BOX").substr(26), ",14;000000000000\r\nSubject: x\n\ny\n");
}

TEST_F(MailboxCommands, FlagAndClear) {
  expect_runs({{"", args("flag", "tenex.box", "1:2", "\\Deleted \\Seen"), 0},
               {"", args("flag", "tenex.box", "2", "(\\Flagged)", "--clear"), 0}});
  EXPECT_NE(read("TENEX.BOX").find(";000000000003\n"), std::string::npos);
  EXPECT_NE(read("TENEX.BOX").find(";000000000013\n"), std::string::npos);
}

TEST_F(MailboxCommands, ExpungeRemovesDeletedMessages) {
  expect_runs({{"", args("flag", "tenex.box", "1", "\\Deleted"), 0},
               {"", args("expunge", "tenex.box"), 0, _, "info: Expunged 1 messages\n"}});
  EXPECT_EQ(read("TENEX.BOX"), kSecond);
}

TEST_F(MailboxCommands, AReadOnlyMailboxRefusesChanges) {
  write("old.mbox", kBezrk);
  expect_runs({{"", args("expunge", "old.mbox"), 1, _,
                "warning: Expunge ignored on readonly mailbox\n"
                "kestrel-mail: old.mbox is read-only; nothing was expunged\n"},
               {"", args("flag", "old.mbox", "1", "\\Deleted"), 1},
               {"", args("copy", "old.mbox", "1", "tenex.box", "--move"), 1}});
  EXPECT_EQ(read("old.mbox"), kBezrk);
}

TEST_F(MailboxCommands, CopyWithinAFormatAndAcrossFormats) {
  write("empty.box", "");
  write("old.mbox", kBezrk);
  ASSERT_EQ(kestrel_mail({"copy", "tenex.box", "2", "empty.box"}).exit_code, 0);
  EXPECT_EQ(read("empty.box"), kSecond);
  // Bezrkdos to Tenexdos: fetched and appended with its flags and date.
  expect_runs({{"", args("copy", "old.mbox", "1", "tenex.box"), 0},
               {"", args("ls", "tenex.box"), 0,
                AllOf(HasSubstr("    3 S...  5-Dec-1996 11:53:20"), HasSubstr("old letter\n"))},
               {"", args("copy", "tenex.box", "1", "empty.box", "--move"), 0},
               {"", args("search", "tenex.box", "DELETED"), 0, "1\n"},
               {"", args("copy", "tenex.box", "1", "nowhere.box"), 1}});
  EXPECT_FALSE(std::filesystem::exists(home_.file("NOWHERE.BOX")));
}

TEST_F(MailboxCommands, CreateRenameDelete) {
  expect_runs({{"", args("create", "work.box"), 0},
               {"", args("create", "work.box"), 1, _,
                "error: Can't create mailbox work.box: File exists\n"},
               {"", args("rename", "work.box", "done.box"), 0},
               {"", args("rename", "done.box", "tenex.box"), 1, _,
                "error: Can't rename mailbox done.box: File exists\n"}});
  EXPECT_TRUE(std::filesystem::exists(home_.file("DONE.BOX")));
  expect_runs({{"", args("delete", "done.box"), 0}, {"", args("delete", "done.box"), 1}});
  EXPECT_FALSE(std::filesystem::exists(home_.file("DONE.BOX")));
}

TEST_F(MailboxCommands, SubscribeUnsubscribeList) {
  for (const char* name : {"work.box", "a.box", "ab.box", "INBOX"})
    EXPECT_EQ(kestrel_mail({"subscribe", name}).exit_code, 0) << name;
  expect_runs(
      {{"", args("subscribe", "a.box"), 1, _, "error: Already subscribed to mailbox a.box\n"},
       {"", args("list", "*"), 0, "work.box\na.box\nab.box\n"},
       {"", args("list", "%.box"), 0, "a.box\n"},
       {"", args("unsubscribe", "a.box"), 0},
       {"", args("list", "*.box"), 0, "work.box\nab.box\n"},
       {"", args("unsubscribe", "a.box"), 1},
       {"", args("list", "*", "--all"), 2}});
  EXPECT_EQ(read("SUBSCRIB.LST"), "work.box\r\nab.box\r\nINBOX\r\n");
}

}  // namespace
