// kestrel-mail's mailbox commands on server mailboxes (Dovecot), and send
// (aiosmtpd). The servers are started by the tests; Dovecot needs root.

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/support/dovecot_server.h"
#include "tests/support/loopback.h"
#include "tests/support/run_program.h"
#include "tests/support/smtp_sink_server.h"

namespace {

namespace fs = std::filesystem;

const std::string kFirst = "From: Li Hua <li@example.cn>\nSubject: first\n\nfirst body\n";
const std::string kSecond =
    "From: wang@pku.edu.cn\nSubject: second\nMIME-Version: 1.0\n"
    "Content-Type: multipart/mixed; boundary=b\n\n--b\n\npart one\n--b\n\npart two\n--b--\n";

class ServerCommands : public testing::Test {
 protected:
  void SetUp() override {
    server_ = std::make_unique<dovecot_server>();
    if (!server_->running()) GTEST_SKIP() << server_->reason();
    server_->deliver("tester", kFirst);
    server_->deliver("tester", kSecond);
    home_ = "/tmp/kestrel_cli_server_" + std::to_string(::getpid());
    fs::remove_all(home_);
    fs::create_directory(home_);
    ::setenv("HOME", home_.c_str(), 1);
    ::setenv("KESTREL_PASSWORD", "secret", 1);
  }
  void TearDown() override {
    ::unsetenv("KESTREL_PASSWORD");
    if (!home_.empty()) fs::remove_all(home_);
  }

  program_result run(std::vector<std::string> arguments, const std::string& input = "") {
    arguments.push_back("--user");
    arguments.push_back("tester");
    return run_program(KESTREL_MAIL_PROGRAM, arguments, input);
  }
  std::string inbox() const { return server_->mailbox_name("INBOX"); }

  std::unique_ptr<dovecot_server> server_;
  std::string home_;
};

TEST_F(ServerCommands, LsAndCat) {
  program_result listed = run({"ls", inbox()});
  ASSERT_EQ(listed.exit_code, 0) << listed.err;
  EXPECT_NE(listed.out.find("    1 .... "), std::string::npos) << listed.out;
  EXPECT_NE(listed.out.find(" Li Hua               first\n"), std::string::npos) << listed.out;
  EXPECT_NE(listed.out.find("    2 .... "), std::string::npos);
  EXPECT_NE(listed.out.find(" wang@pku.edu.cn      second\n"), std::string::npos);

  program_result whole = run({"cat", inbox(), "1"});
  EXPECT_EQ(whole.exit_code, 0) << whole.err;
  EXPECT_EQ(whole.out, crlf_text(kFirst));
  EXPECT_EQ(run({"cat", inbox(), "2", "--section", "2"}).out, "part two");
  EXPECT_EQ(run({"cat", inbox(), "1", "--text"}).out, "first body\r\n");
}

TEST_F(ServerCommands, TheDebugTraceHidesThePassword) {
  program_result result = run({"ls", inbox(), "--debug"});
  EXPECT_EQ(result.exit_code, 0);
  EXPECT_NE(result.err.find(" LOGIN tester "), std::string::npos) << result.err;
  EXPECT_NE(result.err.find("SELECT"), std::string::npos);
  EXPECT_EQ(result.err.find("secret"), std::string::npos) << result.err;
}

TEST_F(ServerCommands, AWrongPasswordIsTriedOnce) {
  ::setenv("KESTREL_PASSWORD", "wrong", 1);
  program_result result = run({"ls", inbox()});
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_NE(result.err.find("error: Login aborted"), std::string::npos) << result.err;
  EXPECT_NE(result.err.find("kestrel-mail: cannot open " + inbox()), std::string::npos);
}

TEST_F(ServerCommands, NoUserOrNoPasswordEndsTheLogin) {
  program_result no_user = run_program(KESTREL_MAIL_PROGRAM, {"ls", inbox()});
  EXPECT_EQ(no_user.exit_code, 1);
  EXPECT_NE(no_user.err.find("kestrel-mail: a server mailbox needs --user NAME"), std::string::npos)
      << no_user.err;
  ::unsetenv("KESTREL_PASSWORD");
  // Without a terminal there is nobody to ask.
  program_result no_password = run_program(
      "/usr/bin/setsid", {"-w", KESTREL_MAIL_PROGRAM, "ls", inbox(), "--user", "tester"});
  EXPECT_EQ(no_password.exit_code, 1);
  EXPECT_NE(no_password.err.find("kestrel-mail: no password: set KESTREL_PASSWORD or run on a "
                                 "terminal"),
            std::string::npos)
      << no_password.err;
}

TEST_F(ServerCommands, FlagSearchCopyExpungeAppend) {
  EXPECT_EQ(run({"create", server_->mailbox_name("Saved")}).exit_code, 0);
  EXPECT_EQ(run({"flag", inbox(), "1", "\\Flagged"}).exit_code, 0);
  EXPECT_EQ(run({"search", inbox(), "FLAGGED"}).out, "1\n");
  EXPECT_EQ(run({"search", inbox(), "SUBJECT", "second"}).out, "2\n");
  program_result copied = run({"copy", inbox(), "1:2", server_->mailbox_name("Saved")});
  EXPECT_EQ(copied.exit_code, 0) << copied.err;
  EXPECT_EQ(run({"search", server_->mailbox_name("Saved"), "ALL"}).out, "1\n2\n");

  EXPECT_EQ(run({"flag", inbox(), "2", "\\Deleted"}).exit_code, 0);
  EXPECT_EQ(run({"expunge", inbox()}).exit_code, 0);
  EXPECT_EQ(run({"search", inbox(), "ALL"}).out, "1\n");

  program_result appended =
      run({"append", inbox(), "--flags", "(\\Seen)"}, "Subject: appended\r\n\r\nnew body\r\n");
  EXPECT_EQ(appended.exit_code, 0) << appended.err;
  EXPECT_EQ(run({"search", inbox(), "SEEN SUBJECT appended"}).out, "2\n");
  program_result bad = run({"search", inbox(), "FRUMP"});
  EXPECT_EQ(bad.exit_code, 1);
}

TEST_F(ServerCommands, CopyFromTheServerToALocalFileAndBack) {
  std::ofstream(home_ + "/LOCAL.BOX") << "";
  program_result down = run({"copy", inbox(), "2", "local.box"});
  ASSERT_EQ(down.exit_code, 0) << down.err;
  EXPECT_EQ(run({"cat", "local.box", "1"}).out, crlf_text(kSecond));
  program_result up = run({"copy", "local.box", "1", server_->mailbox_name("INBOX")});
  EXPECT_EQ(up.exit_code, 0) << up.err;
  EXPECT_EQ(run({"search", inbox(), "SUBJECT second"}).out, "2\n3\n");
}

TEST_F(ServerCommands, NamesOnTheServer) {
  EXPECT_EQ(run({"create", server_->mailbox_name("Work")}).exit_code, 0);
  EXPECT_EQ(run({"rename", server_->mailbox_name("Work"), server_->mailbox_name("Done")}).exit_code,
            0);
  program_result subscribed = run({"subscribe", server_->mailbox_name("Done")});
  EXPECT_EQ(subscribed.exit_code, 0) << subscribed.err;
  EXPECT_EQ(run({"list", server_->mailbox_name("*")}).out, server_->mailbox_name("Done") + "\n");
  program_result all = run({"list", server_->mailbox_name("*"), "--all"});
  EXPECT_NE(all.out.find(server_->mailbox_name("INBOX") + "\n"), std::string::npos) << all.out;
  EXPECT_NE(all.out.find(server_->mailbox_name("Done") + "\n"), std::string::npos);
  EXPECT_EQ(run({"unsubscribe", server_->mailbox_name("Done")}).exit_code, 0);
  EXPECT_EQ(run({"delete", server_->mailbox_name("Done")}).exit_code, 0);
  program_result gone = run({"ls", server_->mailbox_name("Done")});
  EXPECT_EQ(gone.exit_code, 1);
  EXPECT_NE(gone.err.find("kestrel-mail: cannot open"), std::string::npos) << gone.err;
}

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
  program_result result =
      run_program(KESTREL_MAIL_PROGRAM,
                  {"send", "--server", sink_->host(), "--from", "Li Hua <li@example.cn>", "--to",
                   "wang@pku.edu.cn", "--bcc", "zhang@example.cn", "--subject", "dots", "--debug"},
                  ".first\n..second\n.\nlast\n");
  EXPECT_EQ(result.exit_code, 0) << result.err;
  EXPECT_EQ(result.out, "250 Message accepted for delivery\n");
  EXPECT_NE(result.err.find("MAIL FROM:<li@example.cn>\n"), std::string::npos) << result.err;
  EXPECT_NE(result.err.find("RCPT TO:<zhang@example.cn>\n"), std::string::npos);
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
  program_result result = run_program(KESTREL_MAIL_PROGRAM,
                                      {"send", "--server", sink_->host(), "--from", "li@example.cn",
                                       "--to", "wang@pku.edu.cn, nobody@example.cn"},
                                      "text\n");
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_EQ(result.out,
            "554 One or more recipients failed\n"
            "refused nobody@example.cn: 550 5.1.1 <nobody@example.cn>: recipient unknown\n");
  EXPECT_TRUE(sink_->letters().empty());
}

TEST_F(SendCommand, NoServerThere) {
  program_result result =
      run_program(KESTREL_MAIL_PROGRAM,
                  {"send", "--server", "127.0.0.1:" + std::to_string(free_loopback_port()),
                   "--from", "li@example.cn", "--to", "wang@pku.edu.cn"},
                  "text\n");
  EXPECT_EQ(result.exit_code, 1);
  EXPECT_NE(result.err.find("kestrel-mail: no SMTP service at 127.0.0.1:"), std::string::npos)
      << result.err;
}

}  // namespace
