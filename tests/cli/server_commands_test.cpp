// kestrel-mail's mailbox commands on server mailboxes (Dovecot), and send
// (aiosmtpd). The servers are started by the tests; Dovecot needs root.

#include <stdlib.h>

#include <fstream>

#include "message/records.h"
#include "model/box_file.h"
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
      run_program("/usr/bin/setsid",
                  {"-w", KESTREL_MAIL_PROGRAM, "ls", box(), "--user", "tester", "--allow-plain"});
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

// aiosmtpd demanding STARTTLS and a login: --user with the password from
// KESTREL_PASSWORD, the certificate trusted through --cafile.
TEST(SecureSendCommand, LogsInUnderTlsOrSaysWhy) {
  smtp_sink_server sink{smtp_sink_server::security{}};
  if (!sink.running()) GTEST_SKIP() << sink.reason();
  const std::string server = "localhost:" + std::to_string(sink.port());
  const auto send = [&](std::vector<std::string> more) {
    std::vector<std::string> all = {"send",          "--server", server,           "--from",
                                    "li@example.cn", "--to",     "wang@pku.edu.cn"};
    all.insert(all.end(), more.begin(), more.end());
    return all;
  };
  const std::vector<std::string> trusted = {"--cafile", sink.certificate()};
  const auto as = [&](std::string password) {
    setenv("KESTREL_PASSWORD", password.c_str(), 1);
    return std::vector<std::string>{"--user", "tester", "--cafile", sink.certificate()};
  };
  expect_runs(
      {{"LoggedIn", send(as("secret")), 0, "250 Message accepted for delivery\n", _, "text\n"},
       {"Untrusted", send({"--user", "tester"}), 1, _,
        AllOf(HasSubstr("Certificate of localhost refused: unknown issuer"),
              HasSubstr("no SMTP service at " + server + ": 421 TLS with the server failed")),
        "text\n"}});
  expect_runs({{"WrongPassword", send(as("wrong")), 1,
                "535 5.7.8 Authentication credentials invalid\n", _, "text\n"}});
  unsetenv("KESTREL_PASSWORD");
  expect_runs({{"NoUser", send(trusted), 1, "530 5.7.0 Authentication required\n", _, "text\n"}});
  EXPECT_EQ(sink.letters().size(), 1u);
  EXPECT_EQ(sink.logins(),
            (std::vector<std::string>{"tls=yes user=tester ok=yes", "tls=yes user=tester ok=no"}));
}

// Without a server: the letter as it would go, in the charset asked for.
TEST(SendDryRun, WritesTheLetterTheComposerWouldSend) {
  scratch_folder folder;
  const std::string attached = folder.file("a.bin");
  std::ofstream(attached, std::ios::binary) << "GIF\x01\xFF";
  const std::string out = folder.file("Out.box");
  const auto send = [&](std::vector<std::string> more) {
    std::vector<std::string> all = {
        "send", "--from", "李明 <li@pku.edu.cn>", "--to", "wang", "--subject", "中文", "--dry-run"};
    all.insert(all.end(), more.begin(), more.end());
    return all;
  };
  expect_runs(
      {{"GbWithAFileKeptInOut", send({"--charset", "CN-GB", "--attach", attached, "--out", out}), 0,
        AllOf(HasSubstr("From: =?CN-GB?B?wO7D9w==?= <li@pku.edu.cn>\r\n"),
              HasSubstr("Subject: =?CN-GB?B?1tDOxA==?=\r\nTo: wang@pku.edu.cn\r\n"),
              HasSubstr("Content-Type: TEXT/plain; charset=CN-GB\r\n"
                        "Content-Transfer-Encoding: BASE64\r\n"),
              HasSubstr("Content-Type: APPLICATION/Octet-Stream; NAME=\"a.bin\"\r\n"),
              HasSubstr("\r\n\r\nR0lGAf8=\r\n")),
        _, "你好\n"},
       {"EightBitTravelsQuoted", send({"--charset", "CN-GB", "--8bit"}), 0,
        AllOf(HasSubstr("Content-Transfer-Encoding: QUOTED-PRINTABLE\r\n"),
              HasSubstr("\r\n\r\n=C4=E3=BA=C3\r\n")),
        _, "你好\n"},
       {"ACharacterTheCharsetLacks", send({"--charset", "CN-GB"}), 1, "",
        "kestrel-mail: 这些字符不能用 CN-GB 写出: 體\n", "體育\n"},
       {"UnreadableFile", send({"--attach", folder.file("none")}), 1, "",
        "kestrel-mail: 不能读文件 " + folder.file("none") + "\n", "x\n"}});
  std::string reason;
  std::unique_ptr<CVelmarDocData> kept = box_file_open(out, reason);
  ASSERT_TRUE(kept) << reason;
  ASSERT_EQ(kept->letters.size(), 1u);
  EXPECT_EQ(kept->letters[0]->body.type, TYPE_MULTIPART);
  EXPECT_EQ(kept->letters[0]->envelope.subject, "=?CN-GB?B?1tDOxA==?=");
}

TEST_F(SendCommand, NoServerThere) {
  expect_runs({{"",
                args("send", "--server", "127.0.0.1:" + std::to_string(free_loopback_port()),
                     "--from", "li@example.cn", "--to", "wang@pku.edu.cn"),
                1, _, HasSubstr("kestrel-mail: no SMTP service at 127.0.0.1:"), "text\n"}});
}

}  // namespace
