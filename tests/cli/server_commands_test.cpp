// kestrel-mail's mailbox commands on server mailboxes (Dovecot), and send
// (aiosmtpd). The servers are started by the tests; Dovecot needs root.

#include <stdlib.h>

#include <fstream>

#include "tests/support/dovecot_server.h"
#include "tests/support/kestrel_mail.h"
#include "tests/support/loopback.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/smtp_sink_server.h"

namespace {

using testing::_;
using testing::AllOf;
using testing::HasSubstr;
using testing::Not;

const std::string kFirst = "From: Li Hua <li@example.cn>\nSubject: first\n\nfirst body\n";
const std::string kSecond =
    "From: wang@pku.edu.cn\nSubject: second\nMIME-Version: 1.0\n"
    "Content-Type: multipart/mixed; boundary=b\n\n--b\n\npart one\n--b\n\npart two\n--b--\n";

// Dovecot with the two letters above in the inbox of "tester".
class ServerCommands : public testing::Test {
 protected:
  void SetUp() override {
    if (!server_.running()) GTEST_SKIP() << server_.reason();
    server_.deliver("tester", kFirst);
    server_.deliver("tester", kSecond);
    setenv("HOME", home_.path().c_str(), 1);
    setenv("KESTREL_PASSWORD", "secret", 1);
  }
  void TearDown() override { unsetenv("KESTREL_PASSWORD"); }

  // Runs in turn as "tester"; the server offers no TLS.
  static void runs(const std::vector<cli_row>& rows) {
    expect_runs(rows, {"--user", "tester", "--allow-plain"});
  }
  std::string box(const std::string& name = "INBOX") const { return server_.mailbox_name(name); }

  dovecot_server server_;
  scratch_folder home_;
};

TEST_F(ServerCommands, LsAndCat) {
  runs({{"", args("ls", box()), 0,
         AllOf(HasSubstr("    1 .... "), HasSubstr(" Li Hua               first\n"),
               HasSubstr("    2 .... "), HasSubstr(" wang@pku.edu.cn      second\n"))},
        {"", args("cat", box(), "1"), 0, crlf_text(kFirst)},
        {"", args("cat", box(), "2", "--section", "2"), 0, "part two"},
        {"", args("cat", box(), "1", "--text"), 0, "first body\r\n"}});
}

TEST_F(ServerCommands, TheDebugTraceHidesThePassword) {
  runs({{"", args("ls", box(), "--debug"), 0, _,
         AllOf(HasSubstr(" LOGIN tester "), HasSubstr("SELECT"), Not(HasSubstr("secret")))}});
}

TEST_F(ServerCommands, AWrongPasswordIsTriedOnce) {
  setenv("KESTREL_PASSWORD", "wrong", 1);
  runs({{"", args("ls", box()), 1, _,
         AllOf(HasSubstr("error: Login aborted"),
               HasSubstr("kestrel-mail: cannot open " + box()))}});
}

TEST_F(ServerCommands, NoUserOrNoPasswordEndsTheLogin) {
  expect_runs({{"no_user", args("ls", box(), "--allow-plain"), 1, _,
                HasSubstr("kestrel-mail: a server mailbox needs --user NAME")}});
  unsetenv("KESTREL_PASSWORD");
  // Without a terminal there is nobody to ask.
  program_result no_password =
      run_program("/usr/bin/setsid", {"-w", KESTREL_MAIL_PROGRAM, "ls", box(), "--user", "tester", "--allow-plain"});
  EXPECT_EQ(no_password.exit_code, 1);
  EXPECT_THAT(no_password.err,
              HasSubstr("kestrel-mail: no password: set KESTREL_PASSWORD or run on a terminal"));
}

TEST_F(ServerCommands, FlagSearchCopyExpungeAppend) {
  runs({{"", args("create", box("Saved")), 0},
        {"", args("flag", box(), "1", "\\Flagged"), 0},
        {"", args("search", box(), "FLAGGED"), 0, "1\n"},
        {"", args("search", box(), "SUBJECT", "second"), 0, "2\n"},
        {"", args("copy", box(), "1:2", box("Saved")), 0},
        {"", args("search", box("Saved"), "ALL"), 0, "1\n2\n"},
        {"", args("flag", box(), "2", "\\Deleted"), 0},
        {"", args("expunge", box()), 0},
        {"", args("search", box(), "ALL"), 0, "1\n"},
        {"", args("append", box(), "--flags", "(\\Seen)"), 0, _, _,
         "Subject: appended\r\n\r\nnew body\r\n"},
        {"", args("search", box(), "SEEN SUBJECT appended"), 0, "2\n"},
        {"", args("search", box(), "FRUMP"), 1}});
}

TEST_F(ServerCommands, CopyFromTheServerToALocalFileAndBack) {
  std::ofstream(home_.file("LOCAL.BOX")) << "";
  runs({{"", args("copy", box(), "2", "local.box"), 0},
        {"", args("cat", "local.box", "1"), 0, crlf_text(kSecond)},
        {"", args("copy", "local.box", "1", box()), 0},
        {"", args("search", box(), "SUBJECT second"), 0, "2\n3\n"}});
}

TEST_F(ServerCommands, NamesOnTheServer) {
  runs({{"", args("create", box("Work")), 0},
        {"", args("rename", box("Work"), box("Done")), 0},
        {"", args("subscribe", box("Done")), 0},
        {"", args("list", box("*")), 0, box("Done") + "\n"},
        {"", args("list", box("*"), "--all"), 0,
         AllOf(HasSubstr(box("INBOX") + "\n"), HasSubstr(box("Done") + "\n"))},
        {"", args("unsubscribe", box("Done")), 0},
        {"", args("delete", box("Done")), 0},
        {"", args("ls", box("Done")), 1, _, HasSubstr("kestrel-mail: cannot open")}});
}

// aiosmtpd refusing the recipients given.
class SendCommand : public testing::Test {
 protected:
  void start(const std::vector<std::string>& refused = {}) {
    sink_ = std::make_unique<smtp_sink_server>(refused);
    if (!sink_->running()) GTEST_SKIP() << sink_->reason();
  }
  std::unique_ptr<smtp_sink_server> sink_;
};

TEST_F(SendCommand, ALetterArrivesWithItsDottedLines) {
  start();
  expect_runs(
      {{"",
        args("send", "--server", sink_->host(), "--from", "Li Hua <li@example.cn>", "--to",
             "wang@pku.edu.cn", "--bcc", "zhang@example.cn", "--subject", "dots", "--debug"),
        0, "250 Message accepted for delivery\n",
        AllOf(HasSubstr("MAIL FROM:<li@example.cn>\n"), HasSubstr("RCPT TO:<zhang@example.cn>\n")),
        ".first\n..second\n.\nlast\n"}});
  std::vector<smtp_sink_server::letter> letters = sink_->letters();
  ASSERT_EQ(letters.size(), 1u);
  EXPECT_EQ(letters[0].sender, "li@example.cn");
  EXPECT_EQ(letters[0].recipients,
            (std::vector<std::string>{"wang@pku.edu.cn", "zhang@example.cn"}));
  const std::string& content = letters[0].content;
  EXPECT_NE(content.find("\r\nSubject: dots\r\n"), std::string::npos) << content;
  EXPECT_EQ(content.find("zhang"), std::string::npos) << "no Bcc line";
  EXPECT_TRUE(content.ends_with("\r\n\r\n.first\r\n..second\r\n.\r\nlast\r\n")) << content;
}

TEST_F(SendCommand, ARefusedRecipientIsShown) {
  start({"nobody@example.cn"});
  expect_runs({{"",
                args("send", "--server", sink_->host(), "--from", "li@example.cn", "--to",
                     "wang@pku.edu.cn, nobody@example.cn"),
                1,
                "554 One or more recipients failed\n"
                "refused nobody@example.cn: 550 5.1.1 <nobody@example.cn>: recipient unknown\n",
                _, "text\n"}});
  EXPECT_TRUE(sink_->letters().empty());
}

TEST_F(SendCommand, NoServerThere) {
  expect_runs({{"",
                args("send", "--server", "127.0.0.1:" + std::to_string(free_loopback_port()),
                     "--from", "li@example.cn", "--to", "wang@pku.edu.cn"),
                1, _, HasSubstr("kestrel-mail: no SMTP service at 127.0.0.1:"), "text\n"}});
}

}  // namespace
