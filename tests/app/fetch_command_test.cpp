#include "app/fetch_command.h"

#include <filesystem>

#include "app/fetch_dialog.h"
#include "model/letter_text.h"
#include "tests/support/desktop_fixture.h"
#include "tests/support/dovecot_server.h"
#include "tests/support/fault_proxy.h"
#include "tests/support/imap_script.h"
#include "tests/support/table.h"

namespace {

namespace fs = std::filesystem;

std::string fixture_letter(const std::string& name) {
  return file_text(std::string(KESTREL_FIXTURES) + "/letters/" + name);
}

// A plain letter from Wang with the subject and body given.
std::string plain_letter(const std::string& subject, const std::string& body = "body\n") {
  return "From: Wang <wang@pku.edu.cn>\nSubject: " + subject + "\n\n" + body;
}

// Three parts, the second two of its own: sections 1, 2.1, 2.2 and 3.
const std::string kNested =
    "From: Wang <wang@pku.edu.cn>\nSubject: nested\nMIME-Version: 1.0\n"
    "Content-Type: multipart/mixed; boundary=o\n\n"
    "--o\n\none\n"
    "--o\nContent-Type: multipart/alternative; boundary=i\n\n--i\n\ntwo.one\n--i\n\ntwo.two\n"
    "--i--\n--o\n\nthree\n--o--\n";

const std::string kEncoded =
    "From: Wang <wang@pku.edu.cn>\nSubject: encoded\nMIME-Version: 1.0\n"
    "Content-Type: multipart/mixed; boundary=e\n\n"
    "--e\nContent-Type: text/plain; charset=CN-GB\nContent-Transfer-Encoding: quoted-printable\n\n"
    "=C4=E3=BA=C3\n"
    "--e\nContent-Type: image/gif; name=dot.gif\nContent-Transfer-Encoding: base64\n\n"
    "R0lGODlh\n--e--\n";

class Fetch : public desktop_fixture {
 protected:
  void SetUp() override { ASSERT_TRUE(server_.running()) << server_.reason(); }

  // Starts with In holding nothing and the account on the test server, or
  // on the proxy in front of it.
  void start_on(int port) {
    start_in(strings{});
    velmar_settings& settings = app_->settings();
    settings.imap_account = "tester@127.0.0.1:" + std::to_string(port);
    ASSERT_TRUE(settings.split_account());
  }
  void start_on_server() { start_on(server_.port()); }

  // Answers the fetch dialog with the password and the box.
  void answer_fetch(const std::string& password, bool delete_on_server) {
    script_.answer_dialog(IDD_FETCH, [=](ui_dialog& dialog) {
      dialog.set_text(IDC_FETCH_PASSWORD, password);
      dialog.set_checked(IDC_FETCH_DELETE, delete_on_server);
      return true;
    });
  }
  // Fetches, answering the fetch dialog with the right password and the box,
  // then the further questions as scripted before.
  bool fetch(bool delete_on_server = false, const std::vector<int>& answers = {}) {
    answer_fetch("secret", delete_on_server);
    for (int answer : answers)
      script_.answer(answer);
    return app_->run_command(ID_FETCH_MAIL);
  }
  CVelmarDoc& in() { return *dynamic_cast<CVelmarDoc*>(active_mailbox()); }

  dovecot_server server_;
};

TEST_F(Fetch, EveryKindOfLetterArrivesInInConvertedAndTheServerKeepsItsCopies) {
  for (const std::string& letter : {fixture_letter("chinese.eml"), fixture_letter("pictures.eml"),
                                    kNested, kEncoded, std::string("Subject: no sender\n\nx\n")})
    server_.deliver("tester", letter);
  fault_proxy recorder(server_.port(), fault_proxy::toward_server, -1);
  start_on(recorder.port());
  ASSERT_TRUE(fetch());
  EXPECT_EQ(script_.shown(),
            (strings{"dialog 118 取邮件", "progress 取邮件", "message 取到 5 个邮件. [ok]"}));
  const auto& letters = in().data().letters;
  ASSERT_EQ(letters.size(), 5u);
  EXPECT_EQ(model_body_shape(letters[0]->body),
            "1/MIXED (0/PLAIN;CHARSET=CN-GB \"\xC4\xE3\xBA\xC3\xA3\xAC\xCA\xC0"
            "\xBD\xE7\", 0/PLAIN;CHARSET=CN-BIG5 \"\xA7\x41\xA6\x6E\xA1\x41\xA5\x40\xAC\xC9\", "
            "0/PLAIN;CHARSET=ISO-2022-CN \"\x1B$)A\x0E\x44\x63:C\x0F hello\")");
  EXPECT_EQ(
      model_body_shape(letters[2]->body),
      "1/MIXED (0/PLAIN;CHARSET=us-ascii \"one\", 1/ALTERNATIVE (0/PLAIN;CHARSET=us-ascii "
      "\"two.one\", 0/PLAIN;CHARSET=us-ascii \"two.two\"), 0/PLAIN;CHARSET=us-ascii \"three\")");
  EXPECT_EQ(model_body_shape(letters[3]->body),
            "1/MIXED (0/PLAIN;CHARSET=CN-GB \"\xC4\xE3\xBA\xC3\", "
            "5/GIF;NAME=dot.gif [GIF89a])")
      << "quoted-printable and base64 undone";
  EXPECT_EQ(letters[4]->envelope.from->items.at(0)->address, "");
  EXPECT_NE(letter_list_line(*letters[4], 4).find(std::string(kSomeone)), std::string::npos);
  EXPECT_EQ(letters[2]->flags.status, "N  ");

  // The nested letter's parts were asked for in the order of their numbers,
  // in one command.
  EXPECT_NE(recorder.client_bytes().find("FETCH 3 (BODY[1] BODY[2.1] BODY[2.2] BODY[3])\r\n"),
            std::string::npos);
  EXPECT_EQ(subjects_in(in_).size(), 5u) << "In is on the disk with its new letters";
  EXPECT_FALSE(in().is_modified());
  EXPECT_EQ(server_.inbox_count("tester"), 5u);

  // Left on the server, they come again.
  ASSERT_TRUE(fetch());
  EXPECT_EQ(in().data().letters.size(), 10u);
}

TEST_F(Fetch, DeleteOnServerTakesTheLettersOffOnceInIsSaved) {
  for (const char* subject : {"one", "two", "three"})
    server_.deliver("tester", plain_letter(subject));
  start_on_server();
  ASSERT_TRUE(fetch(true));
  EXPECT_EQ(script_.messages(), strings{"取到 3 个邮件."});
  EXPECT_EQ(subjects_in(in_), (strings{"one", "two", "three"}));
  EXPECT_EQ(server_.inbox_count("tester"), 0u);
  EXPECT_EQ(app_->settings().expunge_server, 1) << "the box is remembered";
  EXPECT_EQ(app_->settings().password, "secret");
}

TEST_F(Fetch, QuotesAndBackslashesKeepTheWholeLetter) {
  server_.deliver("tester",
                  "From: \"Wang \\\"Li\\\"\" <wang@pku.edu.cn>\nSubject: Re: \"x\" \\ y\n"
                  "MIME-Version: 1.0\nContent-Type: multipart/mixed; boundary=q\n\n"
                  "--q\n\ntext\n--q\nContent-Type: application/octet-stream; "
                  "name=\"a \\\"b\\\".bin\"\n\nbytes\n--q--\n");
  start_on_server();
  ASSERT_TRUE(fetch());
  ASSERT_EQ(in().data().letters.size(), 1u);
  const CAletter& letter = *in().data().letters[0];
  EXPECT_EQ(letter.envelope.subject, "Re: \"x\" \\ y");
  EXPECT_EQ(letter.envelope.from->items.at(0)->name, "Wang \"Li\"");
  EXPECT_EQ(model_body_shape(letter.body),
            "1/MIXED (0/PLAIN;CHARSET=us-ascii \"text\", 3/OCTET-STREAM;NAME=a \"b\".bin [bytes])");
}

struct large_row {
  std::string name;
  int answer;
  std::size_t taken;
};

class FetchLarge : public Fetch, public testing::WithParamInterface<large_row> {};

TEST_P(FetchLarge, ALetterOverTwoMegabytesIsAskedAbout) {
  std::string big = plain_letter("big", std::string(3 * 1024 * 1024 - 100, 'x'));
  std::size_t stored = server_.deliver("tester", big).size();
  server_.deliver("tester", plain_letter("small"));
  start_on_server();
  ASSERT_TRUE(fetch(true, {GetParam().answer}));
  EXPECT_EQ(script_.messages(), (strings{"邮件太大：" + std::to_string(stored / 1024) +
                                             "KB，跳过此邮件(留在服务器)吗？",
                                         "取到 " + std::to_string(GetParam().taken) + " 个邮件."}));
  EXPECT_EQ(in().data().letters.size(), GetParam().taken);
  EXPECT_EQ(server_.inbox_count("tester"), 2 - GetParam().taken) << "a skipped letter stays";
}

INSTANTIATE_TEST_SUITE_P(Rows, FetchLarge,
                         testing::Values(large_row{"skipped", IDYES, 1},
                                         large_row{"taken", IDNO, 2}),
                         row_name());

TEST_F(Fetch, AnEmptyInboxGivesNone) {
  start_on_server();
  ASSERT_TRUE(fetch(true));
  EXPECT_EQ(script_.messages(), strings{"取到 0 个邮件."});
}

TEST_F(Fetch, AWrongPasswordCannotLogIn) {
  server_.deliver("tester", plain_letter("kept"));
  start_on_server();
  answer_fetch("wrong", true);
  ASSERT_TRUE(app_->run_command(ID_FETCH_MAIL));
  EXPECT_EQ(script_.messages(), strings{"登录失败"});
  EXPECT_EQ(app_->fetcher().login_user(), "tester");
  EXPECT_EQ(app_->fetcher().login_host(), "127.0.0.1");
  EXPECT_EQ(server_.inbox_count("tester"), 1u);
}

TEST_F(Fetch, CancelStopsBetweenLettersKeepingWhatWasTaken) {
  for (const char* subject : {"one", "two", "three", "four", "five"})
    server_.deliver("tester", plain_letter(subject));
  start_on_server();
  // Pressed while the third letter comes: it arrives, the rest stay.
  script_.cancel_progress_at("3 / 5");
  // The fetch's callbacks leave with it: a letter sent afterwards must not
  // ask the cancelled (and gone) progress window whether to wait.
  bool asked_mine = false;
  mail_callbacks mine;
  mine.on_wait = [&asked_mine] { return asked_mine = true; };
  mail_callbacks before = mail_set_callbacks(std::move(mine));
  ASSERT_TRUE(fetch(true));
  EXPECT_EQ(script_.messages(), strings{"取到 3 个邮件."});
  EXPECT_EQ(subjects_in(in_), (strings{"one", "two", "three"}));
  EXPECT_EQ(server_.inbox_count("tester"), 2u) << "the rest stay untouched";
  EXPECT_TRUE(mail_callback().on_wait());
  EXPECT_TRUE(asked_mine);
  mail_set_callbacks(std::move(before));
}

TEST_F(Fetch, ASaveThatFailsLeavesTheServerUntouched) {
  for (const char* subject : {"one", "two"})
    server_.deliver("tester", plain_letter(subject));
  start_on_server();
  // A folder where In's file was: the new file cannot take its place.
  fs::remove(in_);
  fs::create_directory(in_);
  ASSERT_TRUE(fetch(true));
  ASSERT_EQ(script_.messages().size(), 2u);
  EXPECT_EQ(script_.messages()[0].rfind(kInNotSaved, 0), 0u) << script_.messages()[0];
  EXPECT_EQ(script_.messages()[1], "取到 2 个邮件.");
  EXPECT_EQ(in().data().letters.size(), 2u) << "the letters are in the window";
  EXPECT_TRUE(in().is_modified());
  EXPECT_EQ(server_.inbox_count("tester"), 2u);
}

TEST_F(Fetch, WithoutAnInMailboxNothingIsFetchedUnlessItIsMade) {
  server_.deliver("tester", plain_letter("kept"));
  start_on_server();
  app_->close_all_documents();
  qt_flush();
  app_->settings().in_path = file("None.box");
  EXPECT_TRUE(fetch(true, {IDNO}));
  EXPECT_EQ(script_.messages(), strings{"创建新的 In 邮箱吗?"});
  EXPECT_EQ(server_.inbox_count("tester"), 1u);
}

// A server that logs in, shows two letters and then keeps silent.
class SilentServer : public desktop_fixture {
 protected:
  void start_on(const script_server& server, long timeout) {
    start_in(strings{});
    velmar_settings& settings = app_->settings();
    settings.imap_account = "li@127.0.0.1:" + std::to_string(server.port());
    ASSERT_TRUE(settings.split_account());
    settings.network_timeout = timeout;
  }
  static imap_steps silent_after_select() {
    return {script_server::send("* OK ready\r\n"),
            script_server::read_line(),
            script_server::send("A00000 OK in\r\n"),
            script_server::read_line(),
            script_server::send("* 2 EXISTS\r\nA00001 OK selected\r\n"),
            script_server::read_line(),
            script_server::pause(3000)};
  }
  // Fetches with delete-on-server, answering the questions that follow;
  // the seconds it took.
  double fetch_timed(const std::vector<int>& answers = {}) {
    script_.answer_dialog(IDD_FETCH, [](ui_dialog& dialog) {
      dialog.set_checked(IDC_FETCH_DELETE, true);
      return true;
    });
    for (int answer : answers)
      script_.answer(answer);
    auto start = std::chrono::steady_clock::now();
    app_->run_command(ID_FETCH_MAIL);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }
};

TEST_F(SilentServer, CancelIsAnsweredWithinASecond) {
  script_server server(silent_after_select());
  start_on(server, 120);
  script_.cancel_progress_at("1 / 2");
  EXPECT_LT(fetch_timed(), 1.5);
  EXPECT_EQ(script_.messages(), strings{"取到 0 个邮件."});
}

struct silence_row {
  std::string name;
  std::vector<int> answers;  // to "keep waiting?"
};

class SilentServerAsks : public SilentServer, public testing::WithParamInterface<silence_row> {};

TEST_P(SilentServerAsks, WhetherToWaitOnAfterTheTimeOut) {
  script_server server(silent_after_select());
  start_on(server, 1);
  std::string host = "127.0.0.1:" + std::to_string(server.port());
  strings asked;
  for (std::size_t i = 0; i < GetParam().answers.size(); ++i) {
    asked.push_back("服务器 " + host + " 已经 " + std::to_string(i + 1) +
                    " 秒没有回答，继续等待吗?");
  }
  asked.push_back("取到 0 个邮件.");
  fetch_timed(GetParam().answers);
  EXPECT_EQ(script_.messages(), asked);
}

INSTANTIATE_TEST_SUITE_P(Rows, SilentServerAsks,
                         testing::Values(silence_row{"gives_up", {IDNO}},
                                         silence_row{"waits_once_more", {IDYES, IDNO}}),
                         row_name());

}  // namespace
