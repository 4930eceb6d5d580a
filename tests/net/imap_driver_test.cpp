// The IMAP client against a scripted server: exact wire checks and the
// responses a real server will not send on demand.

#include <gtest/gtest.h>

#include "mail/cache.h"
#include "mail/fetch.h"
#include "mail/open_close.h"
#include "mail/parameters.h"
#include "mail/stream.h"
#include "message/records.h"
#include "message/text_source.h"
#include "net/imap_driver.h"
#include "tests/support/log_capture.h"
#include "tests/support/script_server.h"
#include "tests/support/table.h"

namespace {

using server = script_server;
using steps = std::vector<script_server::step>;

// The greeting and a login with user "li", password "secret".
steps logged_in(int tag = 0) {
  char reply[64];
  std::snprintf(reply, sizeof reply, "A%05d OK LOGIN completed\r\n", tag);
  return {server::send("* OK IMAP2bis server ready\r\n"), server::read_line(), server::send(reply)};
}

steps selected(const std::string& untagged = "* 3 EXISTS\r\n* 1 RECENT\r\n") {
  steps script = logged_in();
  script.push_back(server::read_line());
  script.push_back(server::send(untagged + "A00001 OK [READ-WRITE] SELECT completed\r\n"));
  return script;
}

steps operator+(steps a, const steps& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

steps logout(int tag) {
  char reply[64];
  std::snprintf(reply, sizeof reply, "* BYE logging out\r\nA%05d OK LOGOUT completed\r\n", tag);
  return {server::read_line(), server::send(reply)};
}

// Links the driver, answers logins from a list, and records reports.
class ImapSession : public testing::Test {
 protected:
  void SetUp() override {
    mail_link_driver(&imap_driver);
    mail_callbacks callbacks;
    callbacks.on_login = [this](std::string_view host, std::string& user, std::string& password,
                                long trial) {
      logins_.push_back(std::string(host) + "#" + std::to_string(trial));
      if (answers_.empty()) return;
      user = answers_.front().first;
      password = answers_.front().second;
      answers_.erase(answers_.begin());
    };
    callbacks.on_notify = [this](mail_stream*, std::string_view text, long level) {
      notes_.push_back(std::to_string(level) + " " + std::string(text));
    };
    callbacks.on_debug = [this](std::string_view line) { trace_.push_back(std::string(line)); };
    log_ = std::make_unique<log_capture>(std::move(callbacks));
    answers_ = {{"li", "secret"}, {"li", "secret"}, {"li", "secret"}};
  }

  std::string name(const script_server& peer, const std::string& mailbox = "INBOX") {
    return "{127.0.0.1:" + std::to_string(peer.port()) + "}" + mailbox;
  }

  std::vector<std::pair<std::string, std::string>> answers_;
  std::vector<std::string> logins_, notes_, trace_;
  std::unique_ptr<log_capture> log_;
};

TEST_F(ImapSession, OpenLogsInSelectsAndNamesTheStream) {
  server peer(selected("* 3 EXISTS\r\n* 1 RECENT\r\n* FLAGS (\\Seen \\Deleted Work Urgent)\r\n") +
              logout(2));
  mail_stream* stream = mail_open(nullptr, name(peer), 0);
  ASSERT_NE(stream, nullptr) << testing::PrintToString(log_->texts());
  EXPECT_EQ(stream->nmsgs, 3u);
  EXPECT_EQ(stream->recent, 1u);
  EXPECT_FALSE(stream->readonly);
  EXPECT_EQ(stream->mailbox, "{127.0.0.1:" + std::to_string(peer.port()) + "}INBOX");
  EXPECT_EQ(stream->user_flags[0], "Work");
  EXPECT_EQ(stream->user_flags[1], "Urgent");
  mail_close(stream);
  EXPECT_EQ(peer.lines(), (std::vector<std::string>{"A00000 LOGIN li secret", "A00001 SELECT INBOX",
                                                    "A00002 LOGOUT"}));
  EXPECT_EQ(logins_, std::vector<std::string>{"127.0.0.1#1"});
}

TEST_F(ImapSession, ReadOnlyOpensWithExamine) {
  server peer(logged_in() +
              steps{server::read_line(),
                    server::send("* 0 EXISTS\r\nA00001 OK [READ-ONLY] EXAMINE done\r\n")} +
              logout(2));
  mail_stream* stream = mail_open(nullptr, name(peer, "Sent Mail"), OPEN_READONLY);
  ASSERT_NE(stream, nullptr);
  EXPECT_TRUE(stream->readonly);
  mail_close(stream);
  EXPECT_EQ(peer.lines()[1], "A00001 EXAMINE \"Sent Mail\"") << "a name with a blank is quoted";
  EXPECT_NE(std::find(log_->texts().begin(), log_->texts().end(), "Mailbox is empty"),
            log_->texts().end());
}

TEST_F(ImapSession, AnOddMailboxNameGoesAsALiteralAfterTheContinuation) {
  server peer(logged_in() +
              steps{server::read_line(), server::send("+\r\n"), server::read_line(),
                    server::send("* 0 EXISTS\r\nA00001 OK done\r\n")} +
              logout(2));
  mail_stream* stream = mail_open(nullptr, name(peer, "50%\\off"), 0);
  ASSERT_NE(stream, nullptr);
  mail_close(stream);
  std::vector<std::string> lines = peer.lines();
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[1], "A00001 SELECT {7}");
  EXPECT_EQ(lines[2], "50%\\off");
}

TEST_F(ImapSession, ARefusedLiteralEndsTheCommandWithTheRefusal) {
  server peer(logged_in() +
              steps{server::read_line(), server::send("A00001 NO no literals here\r\n")} +
              logout(2));
  mail_stream* stream = mail_open(nullptr, name(peer, "a\"b"), 0);
  ASSERT_NE(stream, nullptr);
  EXPECT_TRUE(stream->halfopen);
  mail_close(stream);
  EXPECT_EQ(peer.lines(), (std::vector<std::string>{"A00000 LOGIN li secret", "A00001 SELECT {3}",
                                                    "A00002 LOGOUT"}));
}

struct login_row {
  std::string name;
  std::vector<std::pair<std::string, std::string>> answers;
  steps script;
  std::vector<std::string> wire;
  std::string failure;
};

class Login : public ImapSession, public testing::WithParamInterface<login_row> {};

TEST_P(Login, EndsInAClearFailure) {
  const login_row& row = GetParam();
  answers_ = row.answers;
  server peer(row.script);
  EXPECT_EQ(mail_open(nullptr, name(peer), 0), nullptr);
  EXPECT_EQ(peer.lines(), row.wire);
  std::vector<std::string> texts = log_->texts();
  EXPECT_NE(std::find(texts.begin(), texts.end(), row.failure), texts.end())
      << testing::PrintToString(texts);
}

const std::pair<std::string, std::string> kWrong{"li", "wrong"};

INSTANTIATE_TEST_SUITE_P(
    Rows, Login,
    testing::Values(
        login_row{"three_failures",
                  {kWrong, kWrong, kWrong},
                  {server::send("* OK ready\r\n"), server::read_line(),
                   server::send("A00000 NO bad password\r\n"), server::read_line(),
                   server::send("A00001 NO bad password\r\n"), server::read_line(),
                   server::send("A00002 NO bad password\r\n")},
                  {"A00000 LOGIN li wrong", "A00001 LOGIN li wrong", "A00002 LOGIN li wrong"},
                  "Too many login failures"},
        login_row{"user_gives_up",
                  {kWrong, {"", ""}},
                  {server::send("* OK ready\r\n"), server::read_line(),
                   server::send("A00000 NO bad password\r\n")},
                  {"A00000 LOGIN li wrong"},
                  "Login aborted"},
        login_row{"server_says_bye",
                  {kWrong, kWrong, kWrong},
                  {server::send("* OK ready\r\n"), server::read_line(),
                   server::send("* BYE too many attempts\r\n"), server::close()},
                  {"A00000 LOGIN li wrong"},
                  "Too many login failures"},
        login_row{"greeting_refused", {}, {server::send("* BYE go away\r\n")}, {}, "go away"}),
    row_name());

TEST_F(ImapSession, PreauthenticatedServersAreNotAskedToLogIn) {
  server peer(steps{server::send("* PREAUTH welcome back\r\n"), server::read_line(),
                    server::send("A00000 OK SELECT done\r\n")} +
              logout(1));
  mail_stream* stream = mail_open(nullptr, name(peer), 0);
  ASSERT_NE(stream, nullptr);
  mail_close(stream);
  EXPECT_TRUE(logins_.empty());
  EXPECT_EQ(peer.lines()[0], "A00000 SELECT INBOX");
}

TEST_F(ImapSession, AnEmptyPasswordIsSentAsAnEmptyString) {
  answers_ = {{"guest", ""}};
  server peer(logged_in() + steps{server::read_line(), server::send("A00001 OK\r\n")} + logout(2));
  mail_stream* stream = mail_open(nullptr, name(peer), 0);
  ASSERT_NE(stream, nullptr);
  mail_close(stream);
  EXPECT_EQ(peer.lines()[0], "A00000 LOGIN guest \"\"");
}

TEST_F(ImapSession, TheTraceHidesThePassword) {
  server peer(selected() + logout(2));
  mail_stream* stream = mail_open(nullptr, name(peer), OPEN_DEBUG);
  ASSERT_NE(stream, nullptr);
  mail_close(stream);
  ASSERT_GE(trace_.size(), 3u);
  EXPECT_EQ(trace_[0], "* OK IMAP2bis server ready");
  EXPECT_EQ(trace_[1], "A00000 LOGIN li ******");
  EXPECT_EQ(peer.lines()[0], "A00000 LOGIN li secret");
}

TEST_F(ImapSession, HalfOpenWhenTheMailboxCannotBeSelected) {
  server peer(logged_in() +
              steps{server::read_line(), server::send("A00001 NO no such mailbox\r\n")} +
              logout(2));
  mail_stream* stream = mail_open(nullptr, name(peer, "Nowhere"), 0);
  ASSERT_NE(stream, nullptr);
  EXPECT_TRUE(stream->halfopen);
  EXPECT_EQ(stream->mailbox, "{127.0.0.1:" + std::to_string(peer.port()) + "}<no_mailbox>");
  mail_close(stream);
}

TEST_F(ImapSession, CloseOnErrorRefusesTheHalfOpenStream) {
  mail_parameters(nullptr, SET_CLOSEONERROR, reinterpret_cast<void*>(1));
  server peer(logged_in() +
              steps{server::read_line(), server::send("A00001 NO no such mailbox\r\n")} +
              logout(2));
  EXPECT_EQ(mail_open(nullptr, name(peer, "Nowhere"), 0), nullptr);
  mail_parameters(nullptr, SET_CLOSEONERROR, nullptr);
  EXPECT_EQ(peer.lines().back(), "A00002 LOGOUT");
}

TEST_F(ImapSession, ReopeningOnTheSameServerKeepsTheConnection) {
  server peer(selected() +
              steps{server::read_line(), server::send("* 7 EXISTS\r\nA00002 OK SELECT done\r\n")} +
              logout(3));
  mail_stream* stream = mail_open(nullptr, name(peer), 0);
  ASSERT_NE(stream, nullptr);
  mail_elt(stream, 2)->seen = 1;
  ASSERT_EQ(mail_open(stream, name(peer, "Archive"), 0), stream);
  EXPECT_EQ(stream->nmsgs, 7u);
  EXPECT_EQ(mail_cache(stream, 2, CACHE_ELT), nullptr) << "the old mailbox's cache is gone";
  mail_close(stream);
  EXPECT_EQ(peer.lines()[2], "A00002 SELECT Archive");
  std::vector<std::string> texts = log_->texts();
  EXPECT_NE(std::find(texts.begin(), texts.end(), "Reusing connection to 127.0.0.1"), texts.end());
}

}  // namespace
