// kestrel-mail's mailbox commands on local files in a temporary home.

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "tests/support/run_program.h"
#include "tests/support/table.h"

namespace {

namespace fs = std::filesystem;

const std::string kTenex =
    " 5-Dec-1996 11:53:20 +0800,56;000000000001\n"
    "From: Li Hua <li@example.cn>\nSubject: hello\n\nfirst body\n"
    "24-Mar-2001 08:00:00 -0500,114;000000000014\n"
    "From: wang@pku.edu.cn\nSubject: parts\nContent-Type: multipart/mixed; boundary=b\n"
    "MIME-Version: 1.0\n\n--b\n\npart\n--b--\n";

const std::string kBezrk =
    "From li Thu Dec  5 11:53:20 1996\nSubject: old letter\nStatus: RO\n\nold body\n";

class MailboxCommands : public testing::Test {
 protected:
  void SetUp() override {
    static int counter = 0;
    home_ = "/tmp/kestrel_cli_" + std::to_string(::getpid()) + "_" + std::to_string(++counter);
    fs::remove_all(home_);
    fs::create_directory(home_);
    ::setenv("HOME", home_.c_str(), 1);
    write("TENEX.BOX", kTenex);
  }
  void TearDown() override { fs::remove_all(home_); }

  void write(const std::string& file, const std::string& bytes) {
    std::ofstream(home_ + "/" + file, std::ios::binary) << bytes;
  }
  std::string read(const std::string& file) {
    std::ifstream in(home_ + "/" + file, std::ios::binary);
    std::stringstream contents;
    contents << in.rdbuf();
    return contents.str();
  }
  program_result run(const std::vector<std::string>& arguments, const std::string& input = "") {
    return run_program(KESTREL_MAIL_PROGRAM, arguments, input);
  }

  std::string home_;
};

TEST_F(MailboxCommands, LsListsEveryMessage) {
  program_result result = run({"ls", "tenex.box"});
  EXPECT_EQ(result.exit_code, 0) << result.err;
  EXPECT_EQ(result.out,
            "    1 S...  5-Dec-1996 11:53:20 +0800       60 Li Hua               hello\n"
            "    2 ..FA 24-Mar-2001 08:00:00 -0500      123 wang@pku.edu.cn      parts\n");
  EXPECT_EQ(result.err, "");
}

TEST_F(MailboxCommands, LsPrintsJson) {
  program_result result = run({"ls", "--json", "tenex.box"});
  ASSERT_EQ(result.exit_code, 0) << result.err;
  nlohmann::json listed = nlohmann::json::parse(result.out);
  ASSERT_EQ(listed.size(), 2u);
  EXPECT_EQ(listed[0], nlohmann::json({{"msgno", 1},
                                       {"flags", "S..."},
                                       {"date", " 5-Dec-1996 11:53:20 +0800"},
                                       {"size", 60},
                                       {"from", "Li Hua"},
                                       {"subject", "hello"}}));
  EXPECT_EQ(listed[1]["from"], "wang@pku.edu.cn");
}

TEST_F(MailboxCommands, LsOfAMailboxThatIsNotThere) {
  program_result result = run({"ls", "missing.box"});
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_EQ(result.out, "");
  EXPECT_EQ(result.err,
            "error: Can't open mailbox missing.box: no such mailbox\n"
            "kestrel-mail: cannot open missing.box\n");
}

TEST_F(MailboxCommands, CatPrintsMessagesAndParts) {
  program_result whole = run({"cat", "tenex.box", "1"});
  EXPECT_EQ(whole.exit_code, 0) << whole.err;
  EXPECT_EQ(whole.out, "From: Li Hua <li@example.cn>\r\nSubject: hello\r\n\r\nfirst body\r\n");
  EXPECT_EQ(run({"cat", "tenex.box", "1", "--header"}).out,
            "From: Li Hua <li@example.cn>\r\nSubject: hello\r\n\r\n");
  EXPECT_EQ(run({"cat", "--text", "tenex.box", "1"}).out, "first body\r\n");
  EXPECT_EQ(run({"cat", "tenex.box", "2", "--section", "1"}).out, "part");

  program_result missing_part = run({"cat", "tenex.box", "2", "--section", "2"});
  EXPECT_EQ(missing_part.exit_code, 1);
  EXPECT_EQ(missing_part.err, "kestrel-mail: message 2 has no section 2\n");
  program_result missing = run({"cat", "tenex.box", "3"});
  EXPECT_EQ(missing.exit_code, 1);
  EXPECT_EQ(missing.err, "kestrel-mail: tenex.box has no message 3 (it holds 2)\n");
  EXPECT_EQ(run({"cat", "tenex.box", "x1"}).exit_code, 1);
  EXPECT_EQ(run({"cat", "tenex.box", "1", "--header", "--text"}).exit_code, 2);
}

TEST_F(MailboxCommands, ReadingATextMarksItSeen) {
  ASSERT_EQ(run({"cat", "tenex.box", "2"}).exit_code, 0);
  EXPECT_NE(read("TENEX.BOX").find(";000000000015\n"), std::string::npos);
}

TEST_F(MailboxCommands, AppendFromAFileAndFromStandardInput) {
  write("letter.txt", "Subject: from a file\n\nbody\n");
  program_result from_file = run({"append", "tenex.box", home_ + "/letter.txt", "--flags",
                                  "(\\Flagged)", "--date", "1-Jan-2020 10:00:00 +0100"});
  EXPECT_EQ(from_file.exit_code, 0) << from_file.err;
  program_result from_input = run({"append", "tenex.box"}, "Subject: from input\n\nbody\n");
  EXPECT_EQ(from_input.exit_code, 0) << from_input.err;
  EXPECT_NE(read("TENEX.BOX")
                .find(" 1-Jan-2020 10:00:00 +0100,27;000000000004\n"
                      "Subject: from a file\n\nbody\n"),
            std::string::npos);
  program_result listed = run({"ls", "tenex.box"});
  EXPECT_NE(listed.out.find("    3 ..F.  1-Jan-2020 10:00:00 +0100"), std::string::npos)
      << listed.out;
  EXPECT_NE(listed.out.find("from input\n"), std::string::npos);
}

TEST_F(MailboxCommands, AppendToAMissingMailboxAsksForItToBeMade) {
  program_result result = run({"append", "new.box"}, "Subject: x\n\ny\n");
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_EQ(result.err,
            "info: [TRYCREATE] Must create mailbox before append\n"
            "kestrel-mail: nothing appended to new.box\n");
  EXPECT_EQ(run({"create", "new.box"}).exit_code, 0);
  EXPECT_EQ(run({"append", "new.box"}, "Subject: x\n\ny\n").exit_code, 0);
  EXPECT_EQ(read("NEW.BOX").substr(26), ",14;000000000000\r\nSubject: x\n\ny\n");
}

TEST_F(MailboxCommands, FlagAndClear) {
  EXPECT_EQ(run({"flag", "tenex.box", "1:2", "\\Deleted \\Seen"}).exit_code, 0);
  EXPECT_EQ(run({"flag", "tenex.box", "2", "(\\Flagged)", "--clear"}).exit_code, 0);
  EXPECT_NE(read("TENEX.BOX").find(";000000000003\n"), std::string::npos);
  EXPECT_NE(read("TENEX.BOX").find(";000000000013\n"), std::string::npos);
  program_result bad = run({"flag", "tenex.box", "3", "\\Seen"});
  EXPECT_EQ(bad.exit_code, 1);
  EXPECT_EQ(bad.err, "error: Sequence invalid\n");
  EXPECT_EQ(run({"flag", "tenex.box", "1", "\\Bogus"}).exit_code, 1);
}

TEST_F(MailboxCommands, SearchPrintsTheNumbers) {
  program_result result = run({"search", "tenex.box", "FLAGGED", "OR", "x"});
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_EQ(result.err, "error: Unknown search criterion\n");
  EXPECT_EQ(run({"search", "tenex.box", "SUBJECT", "\"PARTS\""}).out, "2\n");
  EXPECT_EQ(run({"search", "tenex.box", "SINCE 1-Jan-1990 BODY body"}).out, "1\n");
  EXPECT_EQ(run({"search", "tenex.box", "ALL"}).out, "1\n2\n");
  EXPECT_EQ(run({"search", "tenex.box", "DELETED"}).out, "");
}

TEST_F(MailboxCommands, ExpungeRemovesDeletedMessages) {
  ASSERT_EQ(run({"flag", "tenex.box", "1", "\\Deleted"}).exit_code, 0);
  program_result result = run({"expunge", "tenex.box"});
  EXPECT_EQ(result.exit_code, 0);
  EXPECT_EQ(result.err, "info: Expunged 1 messages\n");
  EXPECT_EQ(read("TENEX.BOX"), kTenex.substr(kTenex.find("24-Mar-2001")));
}

TEST_F(MailboxCommands, AReadOnlyMailboxRefusesChanges) {
  write("old.mbox", kBezrk);
  program_result expunge = run({"expunge", "old.mbox"});
  EXPECT_EQ(expunge.exit_code, 1);
  EXPECT_EQ(expunge.err,
            "warning: Expunge ignored on readonly mailbox\n"
            "kestrel-mail: old.mbox is read-only; nothing was expunged\n");
  EXPECT_EQ(run({"flag", "old.mbox", "1", "\\Deleted"}).exit_code, 1);
  EXPECT_EQ(run({"copy", "old.mbox", "1", "tenex.box", "--move"}).exit_code, 1);
  EXPECT_EQ(read("old.mbox"), kBezrk);
}

TEST_F(MailboxCommands, CopyWithinAFormatAndAcrossFormats) {
  write("empty.box", "");
  EXPECT_EQ(run({"copy", "tenex.box", "2", "empty.box"}).exit_code, 0);
  EXPECT_EQ(read("empty.box"), kTenex.substr(kTenex.find("24-Mar-2001")));

  // Bezrkdos to Tenexdos: fetched and appended with its flags and date.
  write("old.mbox", kBezrk);
  program_result across = run({"copy", "old.mbox", "1", "tenex.box"});
  EXPECT_EQ(across.exit_code, 0) << across.err;
  program_result listed = run({"ls", "tenex.box"});
  EXPECT_NE(listed.out.find("    3 S...  5-Dec-1996 11:53:20"), std::string::npos) << listed.out;
  EXPECT_NE(listed.out.find("old letter\n"), std::string::npos);

  program_result moved = run({"copy", "tenex.box", "1", "empty.box", "--move"});
  EXPECT_EQ(moved.exit_code, 0) << moved.err;
  EXPECT_EQ(run({"search", "tenex.box", "DELETED"}).out, "1\n");

  program_result nowhere = run({"copy", "tenex.box", "1", "nowhere.box"});
  EXPECT_EQ(nowhere.exit_code, 1);
  EXPECT_FALSE(fs::exists(home_ + "/NOWHERE.BOX"));
}

TEST_F(MailboxCommands, CreateRenameDelete) {
  EXPECT_EQ(run({"create", "work.box"}).exit_code, 0);
  program_result again = run({"create", "work.box"});
  EXPECT_EQ(again.exit_code, 1);
  EXPECT_EQ(again.err, "error: Can't create mailbox work.box: File exists\n");
  EXPECT_EQ(run({"rename", "work.box", "done.box"}).exit_code, 0);
  EXPECT_TRUE(fs::exists(home_ + "/DONE.BOX"));
  program_result over = run({"rename", "done.box", "tenex.box"});
  EXPECT_EQ(over.exit_code, 1);
  EXPECT_EQ(over.err, "error: Can't rename mailbox done.box: File exists\n");
  EXPECT_EQ(run({"delete", "done.box"}).exit_code, 0);
  EXPECT_FALSE(fs::exists(home_ + "/DONE.BOX"));
  EXPECT_EQ(run({"delete", "done.box"}).exit_code, 1);
}

TEST_F(MailboxCommands, SubscribeUnsubscribeList) {
  for (const char* name : {"work.box", "a.box", "ab.box", "INBOX"})
    EXPECT_EQ(run({"subscribe", name}).exit_code, 0) << name;
  program_result twice = run({"subscribe", "a.box"});
  EXPECT_EQ(twice.exit_code, 1);
  EXPECT_EQ(twice.err, "error: Already subscribed to mailbox a.box\n");
  EXPECT_EQ(run({"list", "*"}).out, "work.box\na.box\nab.box\n");
  EXPECT_EQ(run({"list", "%.box"}).out, "a.box\n");
  EXPECT_EQ(run({"unsubscribe", "a.box"}).exit_code, 0);
  EXPECT_EQ(run({"list", "*.box"}).out, "work.box\nab.box\n");
  EXPECT_EQ(run({"unsubscribe", "a.box"}).exit_code, 1);
  EXPECT_EQ(read("SUBSCRIB.LST"), "work.box\r\nab.box\r\nINBOX\r\n");
  EXPECT_EQ(run({"list", "*", "--all"}).exit_code, 2);
}

struct usage_row {
  std::string name;
  std::vector<std::string> arguments;
  std::string usage;
};

class MailboxCommandUsage : public testing::TestWithParam<usage_row> {};

TEST_P(MailboxCommandUsage, IsPrinted) {
  program_result result = run_program(KESTREL_MAIL_PROGRAM, GetParam().arguments);
  EXPECT_EQ(result.exit_code, 2);
  EXPECT_EQ(result.err, "usage: kestrel-mail " + GetParam().usage + "\n");
}

INSTANTIATE_TEST_SUITE_P(
    Rows, MailboxCommandUsage,
    testing::Values(
        usage_row{"ls_without_mailbox", {"ls"}, "ls MAILBOX [--json]"},
        usage_row{"ls_unknown_option", {"ls", "x", "--long"}, "ls MAILBOX [--json]"},
        usage_row{
            "cat_without_number", {"cat", "x"}, "cat MAILBOX N [--header|--text|--section S]"},
        usage_row{"flag_without_list", {"flag", "x", "1"}, "flag MAILBOX SEQUENCE LIST [--clear]"},
        usage_row{"user_without_name", {"expunge", "x", "--user"}, "expunge MAILBOX"},
        usage_row{"rename_one_name", {"rename", "x"}, "rename OLD NEW"},
        usage_row{"send_without_server",
                  {"send", "--from", "a@b", "--to", "c@d"},
                  "send --server HOST[:PORT] --from ADDRESS --to LIST [--cc LIST] "
                  "[--bcc LIST] [--subject TEXT] [FILE]"}),
    row_name());

}  // namespace
