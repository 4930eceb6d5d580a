// The IMAP client against a scripted server: exact wire checks and the
// responses a real server will not send on demand.

#include "net/imap_driver.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "mail/cache.h"
#include "mail/fetch.h"
#include "mail/open_close.h"
#include "mail/parameters.h"
#include "mail/stream.h"
#include "message/text_source.h"
#include "tests/message/summary.h"
#include "tests/net/script_steps.h"
#include "tests/support/log_capture.h"
#include "tests/support/table.h"

namespace {

using testing::Contains;
using testing::ElementsAre;
using testing::HasSubstr;
using strings = std::vector<std::string>;
using logins = std::vector<std::pair<std::string, std::string>>;

// The greeting and a login with user "li", password "secret".
steps logged_in() {
  return steps{server::send("* OK [CAPABILITY IMAP2bis] IMAP2bis server ready\r\n")} +
         replies({"A00000 OK LOGIN completed"});
}

steps selected(const std::string& untagged = "* 3 EXISTS\r\n* 1 RECENT\r\n") {
  return logged_in() + replies({untagged + "A00001 OK [READ-WRITE] SELECT completed"});
}

steps logout(std::size_t tag) {
  return replies({"* BYE logging out\r\nA0000" + std::to_string(tag) + " OK LOGOUT completed"});
}

// After the login (and the select): these answers to the commands, then the logout.
steps login_then(const std::vector<std::string>& answers) {
  return logged_in() + replies(answers) + logout(answers.size() + 1);
}
steps select_then(const std::vector<std::string>& answers) {
  return selected() + replies(answers) + logout(answers.size() + 2);
}

// Links the driver, answers logins from a list, records reports, notices and
// listed names, and opens mailboxes on a server that plays a script.
class ImapSession : public testing::Test {
 protected:
  void SetUp() override {
    mail_link_driver(&imap_driver);
    mail_callbacks callbacks;
    // The server offers no TLS: the password goes in clear on loopback.
    callbacks.on_plain_login = [](std::string_view) { return true; };
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
    callbacks.on_mailbox = [this](std::string_view name) { names_.push_back(std::string(name)); };
    log_ = std::make_unique<log_capture>(std::move(callbacks));
    answers_ = {{"li", "secret"}, {"li", "secret"}, {"li", "secret"}};
  }

  mail_stream* open(const steps& script, const std::string& mailbox = "INBOX", long options = 0) {
    peer_ = std::make_unique<server>(script);
    return mail_open(nullptr, name(mailbox), options);
  }
  std::string name(const std::string& mailbox = "INBOX") {
    return "{127.0.0.1:" + std::to_string(peer_->port()) + "}" + mailbox;
  }
  // The commands after the login and the select.
  std::vector<std::string> commands() {
    std::vector<std::string> lines = peer_->lines();
    return std::vector<std::string>(lines.begin() + 2, lines.end());
  }

  std::vector<std::pair<std::string, std::string>> answers_;
  std::vector<std::string> logins_, notes_, trace_, names_;
  std::unique_ptr<log_capture> log_;
  std::unique_ptr<server> peer_;
};

TEST_F(ImapSession, OpenLogsInSelectsAndNamesTheStreamAndTheTraceHidesThePassword) {
  mail_stream* stream =
      open(selected("* 3 EXISTS\r\n* 1 RECENT\r\n* FLAGS (\\Seen \\Deleted Work Urgent)\r\n") +
               logout(2),
           "INBOX", OPEN_DEBUG);
  ASSERT_NE(stream, nullptr) << testing::PrintToString(log_->texts());
  EXPECT_EQ(stream->nmsgs, 3u);
  EXPECT_EQ(stream->recent, 1u);
  EXPECT_FALSE(stream->readonly);
  EXPECT_EQ(stream->mailbox, name());
  EXPECT_EQ(stream->user_flags[0], "Work");
  EXPECT_EQ(stream->user_flags[1], "Urgent");
  mail_close(stream);
  EXPECT_THAT(peer_->lines(),
              ElementsAre("A00000 LOGIN li secret", "A00001 SELECT INBOX", "A00002 LOGOUT"));
  EXPECT_THAT(logins_, ElementsAre("127.0.0.1#1"));
  ASSERT_GE(trace_.size(), 3u);
  EXPECT_EQ(trace_[0], "* OK [CAPABILITY IMAP2bis] IMAP2bis server ready");
  EXPECT_EQ(trace_[1], "A00000 LOGIN li ******");
}

TEST_F(ImapSession, ReadOnlyOpensWithExamine) {
  mail_stream* stream = open(login_then({"* 0 EXISTS\r\nA00001 OK [READ-ONLY] EXAMINE done"}),
                             "Sent Mail", OPEN_READONLY);
  ASSERT_NE(stream, nullptr);
  EXPECT_TRUE(stream->readonly);
  mail_close(stream);
  EXPECT_EQ(peer_->lines()[1], "A00001 EXAMINE \"Sent Mail\"") << "a name with a blank is quoted";
  EXPECT_THAT(log_->texts(), Contains("Mailbox is empty"));
}

TEST_F(ImapSession, AnOddMailboxNameGoesAsALiteralAfterTheContinuation) {
  mail_close(
      open(logged_in() + replies({"+", "* 0 EXISTS\r\nA00001 OK done"}) + logout(2), "50%\xB0off"));
  EXPECT_THAT(peer_->lines(), ElementsAre("A00000 LOGIN li secret", "A00001 SELECT {7}",
                                          "50%\xB0off", "A00002 LOGOUT"));
}

TEST_F(ImapSession, ARefusedLiteralEndsTheCommandWithTheRefusal) {
  mail_stream* stream = open(login_then({"A00001 NO no literals here"}),
                             "a\xB0"
                             "b");
  ASSERT_NE(stream, nullptr);
  EXPECT_TRUE(stream->halfopen);
  mail_close(stream);
  EXPECT_THAT(peer_->lines(),
              ElementsAre("A00000 LOGIN li secret", "A00001 SELECT {3}", "A00002 LOGOUT"));
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
  EXPECT_EQ(open(row.script), nullptr);
  EXPECT_EQ(peer_->lines(), row.wire);
  EXPECT_THAT(log_->texts(), Contains(row.failure));
}

const std::pair<std::string, std::string> kWrong{"li", "wrong"};
const steps kGreeting{server::send("* OK [CAPABILITY IMAP4rev1] ready\r\n")};

INSTANTIATE_TEST_SUITE_P(
    Rows, Login,
    testing::Values(
        login_row{
            "three_failures", logins{kWrong, kWrong, kWrong},
            kGreeting + replies({"A00000 NO bad password", "A00001 NO bad password",
                                 "A00002 NO bad password"}),
            strings{"A00000 LOGIN li wrong", "A00001 LOGIN li wrong", "A00002 LOGIN li wrong"},
            "Too many login failures"},
        login_row{"user_gives_up", logins{kWrong, {"", ""}},
                  kGreeting + replies({"A00000 NO bad password"}), strings{"A00000 LOGIN li wrong"},
                  "Login aborted"},
        login_row{"server_says_bye", logins{kWrong, kWrong, kWrong},
                  kGreeting + replies({"* BYE too many attempts"}) + steps{server::close()},
                  strings{"A00000 LOGIN li wrong"}, "Too many login failures"},
        login_row{"greeting_refused", logins{}, steps{server::send("* BYE go away\r\n")}, strings{},
                  "go away"}),
    row_name());

// How the password goes on a connection without TLS, as the server's
// capabilities and the user allow.
struct login_way_row {
  std::string name;
  std::string greeting;
  std::vector<std::string> answers;  // to the commands after the greeting
  std::string words;                 // after the port: "/starttls"
  bool consent;                      // to a login in clear
  std::vector<std::string> wire;
  std::string report;  // empty: the mailbox opens
};

class LoginWay : public ImapSession, public testing::WithParamInterface<login_way_row> {};

TEST_P(LoginWay, FollowsTheCapabilitiesAndTheUser) {
  const login_way_row& row = GetParam();
  log_.reset();
  mail_callbacks callbacks;
  callbacks.on_plain_login = [&row](std::string_view) { return row.consent; };
  callbacks.on_login = [](std::string_view, std::string& user, std::string& password, long) {
    user = "li";
    password = "secret";
  };
  log_capture log(std::move(callbacks));
  peer_ =
      std::make_unique<server>(steps{server::send(row.greeting + "\r\n")} + replies(row.answers));
  mail_stream* stream =
      mail_open(nullptr, "{127.0.0.1:" + std::to_string(peer_->port()) + row.words + "}INBOX", 0);
  EXPECT_EQ(stream == nullptr, !row.report.empty());
  mail_close(stream);
  EXPECT_EQ(peer_->lines(), row.wire);
  if (!row.report.empty()) {
    EXPECT_THAT(log.texts(), Contains(row.report));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, LoginWay,
    testing::Values(
        login_way_row{"authenticate_plain_when_login_is_unknown",
                      "* OK [CAPABILITY IMAP4rev1 AUTH=PLAIN] ready",
                      strings{"A00000 BAD unknown command", "+ ", "A00001 OK in",
                              "* 0 EXISTS\r\nA00002 OK selected", "A00003 OK bye"},
                      "", true,
                      strings{"A00000 LOGIN li secret", "A00001 AUTHENTICATE PLAIN",
                              "AGxpAHNlY3JldA==", "A00002 SELECT INBOX", "A00003 LOGOUT"},
                      ""},
        login_way_row{"capabilities_asked_when_the_greeting_has_none", "* OK ready",
                      strings{"* CAPABILITY IMAP4rev1\r\nA00000 OK", "A00001 OK in",
                              "* 0 EXISTS\r\nA00002 OK selected", "A00003 OK bye"},
                      "", true,
                      strings{"A00000 CAPABILITY", "A00001 LOGIN li secret", "A00002 SELECT INBOX",
                              "A00003 LOGOUT"},
                      ""},
        login_way_row{"logindisabled_without_tls",
                      "* OK [CAPABILITY IMAP4rev1 LOGINDISABLED AUTH=PLAIN] ready", strings{}, "",
                      true, strings{}, "127.0.0.1 takes no login without TLS"},
        login_way_row{"nothing_in_clear_without_consent", "* OK [CAPABILITY IMAP4rev1] ready",
                      strings{}, "", false, strings{},
                      "Login to 127.0.0.1 in clear refused: the server offers no TLS"},
        login_way_row{"starttls_required_but_not_offered", "* OK [CAPABILITY IMAP4rev1] ready",
                      strings{}, "/starttls", true, strings{}, "127.0.0.1 offers no STARTTLS"}),
    row_name());

TEST_F(ImapSession, PreauthenticatedServersAreNotAskedToLogIn) {
  mail_close(open(steps{server::send("* PREAUTH welcome back\r\n")} +
                  replies({"A00000 OK SELECT done"}) + logout(1)));
  EXPECT_TRUE(logins_.empty());
  EXPECT_THAT(peer_->lines(), ElementsAre("A00000 SELECT INBOX", "A00001 LOGOUT"));
}

TEST_F(ImapSession, AnEmptyPasswordIsSentAsAnEmptyString) {
  answers_ = {{"guest", ""}};
  mail_close(open(login_then({"A00001 OK"})));
  EXPECT_EQ(peer_->lines()[0], "A00000 LOGIN guest \"\"");
}

TEST_F(ImapSession, HalfOpenWhenTheMailboxCannotBeSelected) {
  mail_stream* stream = open(login_then({"A00001 NO no such mailbox"}), "Nowhere");
  ASSERT_NE(stream, nullptr);
  EXPECT_TRUE(stream->halfopen);
  EXPECT_EQ(stream->mailbox, name("<no_mailbox>"));
  mail_close(stream);
}

TEST_F(ImapSession, CloseOnErrorRefusesTheHalfOpenStream) {
  mail_parameters(nullptr, SET_CLOSEONERROR, reinterpret_cast<void*>(1));
  EXPECT_EQ(open(login_then({"A00001 NO no such mailbox"}), "Nowhere"), nullptr);
  mail_parameters(nullptr, SET_CLOSEONERROR, nullptr);
  EXPECT_EQ(peer_->lines().back(), "A00002 LOGOUT");
}

TEST_F(ImapSession, ReopeningOnTheSameServerKeepsTheConnection) {
  mail_stream* stream = open(select_then({"* 7 EXISTS\r\nA00002 OK SELECT done"}));
  ASSERT_NE(stream, nullptr);
  mail_elt(stream, 2)->seen = 1;
  ASSERT_EQ(mail_open(stream, name("Archive"), 0), stream);
  EXPECT_EQ(stream->nmsgs, 7u);
  EXPECT_EQ(mail_cache(stream, 2, CACHE_ELT), nullptr) << "the old mailbox's cache is gone";
  mail_close(stream);
  EXPECT_EQ(peer_->lines()[2], "A00002 SELECT Archive");
  EXPECT_THAT(log_->texts(), Contains("Reusing connection to 127.0.0.1"));
}

TEST_F(ImapSession, ThePortParameterServesNamesWithoutAPort) {
  peer_ = std::make_unique<server>(selected() + logout(2));
  mail_parameters(nullptr, SET_IMAPPORT, reinterpret_cast<void*>(long{peer_->port()}));
  mail_stream* stream = mail_open(nullptr, "{127.0.0.1}INBOX", 0);
  mail_parameters(nullptr, SET_IMAPPORT, nullptr);
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(stream->mailbox, name());
  mail_close(stream);
}

TEST_F(ImapSession, MailboxCommandsWithoutAStreamBorrowAConnection) {
  mail_stream* prototype = open(login_then({"A00001 OK subscribed"}), "INBOX", OPEN_PROTOTYPE);
  ASSERT_NE(prototype, nullptr);
  EXPECT_TRUE(prototype->driver->subscribe(prototype, name("Lists/kestrel")));
  EXPECT_THAT(peer_->lines(), ElementsAre("A00000 LOGIN li secret",
                                          "A00001 SUBSCRIBE Lists/kestrel", "A00002 LOGOUT"));
}

TEST_F(ImapSession, RenameSendsTheNewNameWithoutItsServer) {
  mail_stream* prototype = open(login_then({"A00001 OK renamed"}), "INBOX", OPEN_PROTOTYPE);
  EXPECT_TRUE(prototype->driver->rename(prototype, name("Old"), name("New Name")));
  EXPECT_EQ(peer_->lines()[1], "A00001 Rename Old \"New Name\"");
}

const std::string kFetch1 =
    "* 1 FETCH (FLAGS (\\Seen) RFC822.SIZE 300 ENVELOPE (\"Thu, 5 Dec 1996\" {8}\r\n"
    "Hi \"you\" ((\"Wang Li\" NIL \"wang\" \"pku.edu.cn\")) NIL NIL NIL NIL NIL NIL \"<1@pku>\") "
    "BODY (\"TEXT\" \"PLAIN\" (\"CHARSET\" \"GB2312\") NIL NIL \"BASE64\" 8 1))\r\n";

TEST_F(ImapSession, StructuresComeWithLookaheadAndLiteralsAndPartsByTheirSection) {
  mail_stream* stream = open(
      select_then({kFetch1 + "A00002 OK done",
                   "* 1 FETCH (BODY[1] {8}\r\nxMTIzNA=)\r\nA00003 OK done", "A00004 OK done"}));
  ASSERT_NE(stream, nullptr);
  mail_body* body = nullptr;
  mail_envelope* envelope = mail_fetchstructure(stream, 1, &body);
  ASSERT_TRUE(envelope && body);
  EXPECT_EQ(envelope_summary(*envelope),
            "date=Thu, 5 Dec 1996|from=Wang Li<wang@pku.edu.cn>|subject=Hi \"you\"|"
            "message_id=<1@pku>|");
  EXPECT_EQ(body->encoding, ENCODING_BASE64);
  EXPECT_TRUE(mail_elt(stream, 1)->seen);
  EXPECT_EQ(mail_elt(stream, 1)->rfc822_size, 300u);
  EXPECT_EQ(mail_fetchstructure(stream, 1, &body), envelope) << "cached: nothing is sent";
  EXPECT_EQ(mail_fetchbody(stream, 1, "1"), std::optional<std::string_view>("xMTIzNA="));
  mail_fetchstructure(stream, 2, nullptr);
  mail_close(stream);
  EXPECT_THAT(commands(), ElementsAre("A00002 FETCH 1:3 FULL", "A00003 FETCH 1 (BODY[1])",
                                      "A00004 FETCH 2:3 ALL", "A00005 LOGOUT"));
}

TEST_F(ImapSession, AServerThatRefusesFullGetsAllFromThenOn) {
  mail_stream* stream =
      open(select_then({"A00002 BAD what is FULL", "A00003 OK done", "A00004 OK done"}));
  ASSERT_NE(stream, nullptr);
  mail_body* body = nullptr;
  mail_fetchstructure(stream, 3, &body);
  mail_fetchstructure(stream, 2, &body);
  mail_close(stream);
  EXPECT_THAT(commands(), ElementsAre("A00002 FETCH 3:3 FULL", "A00003 FETCH 3:3 ALL",
                                      "A00004 FETCH 2:3 ALL", "A00005 LOGOUT"));
}

TEST_F(ImapSession, AnExpungeDuringAFetchIsHonouredAndStrayLinesAreSkipped) {
  mail_stream* stream =
      open(select_then({"\r\nA00099 OK not yours\r\nA00002\r\n* 1 EXPUNGE\r\n"
                        "* 2 FETCH (RFC822.SIZE 9)\r\nA00002 OK done"}));
  ASSERT_NE(stream, nullptr);
  mail_fetchstructure(stream, 3, nullptr);
  EXPECT_EQ(stream->nmsgs, 2u);
  EXPECT_EQ(mail_elt(stream, 2)->rfc822_size, 9u);
  mail_close(stream);
  for (const char* expected :
       {"IMAP server sent a blank line", "Unexpected tagged response: A00099 OK not yours",
        "Missing IMAP reply key: A00002"})
    EXPECT_THAT(log_->texts(), Contains(expected));
}

TEST_F(ImapSession, AConnectionLostInsideALiteralEndsInAnOrderlyFailure) {
  mail_stream* stream =
      open(selected() + replies({kFetch1 + "A00002 OK done"}) +
           steps{server::read_line(), server::send("* 1 FETCH (BODY[1] {800}\r\nonly a few"),
                 server::close()});
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(mail_fetchbody(stream, 1, "1"), std::nullopt);
  EXPECT_THAT(notes_, Contains("4 IMAP connection broken (server response)"));
  EXPECT_FALSE(stream->driver->ping(stream));
  mail_close(stream);
}

TEST_F(ImapSession, FlagsSearchCopyAndMove) {
  mail_stream* stream = open(
      select_then({"A00002 OK stored", "A00003 OK stored", "* SEARCH 1 3\r\nA00004 OK searched",
                   "A00005 OK fetched", "A00006 OK copied", "A00007 OK stored",
                   "A00008 NO [TRYCREATE] no such mailbox"}));
  ASSERT_NE(stream, nullptr);
  stream->driver->setflag(stream, "1:2", "\\Seen \\Flagged");
  stream->driver->clearflag(stream, "3", "(\\Deleted)");
  stream->driver->search(stream, "SUBJECT hello");
  EXPECT_TRUE(mail_elt(stream, 1)->searched && mail_elt(stream, 3)->searched);
  EXPECT_FALSE(mail_elt(stream, 2)->searched);
  EXPECT_TRUE(stream->driver->move(stream, "2", "Archive"));
  EXPECT_FALSE(stream->driver->copy(stream, "1", "Nope"));
  mail_close(stream);
  EXPECT_THAT(
      commands(),
      ElementsAre("A00002 STORE 1:2 +Flags (\\Seen \\Flagged)", "A00003 STORE 3 -Flags (\\Deleted)",
                  "A00004 SEARCH SUBJECT hello", "A00005 FETCH 1,3 ALL", "A00006 COPY 2 Archive",
                  "A00007 STORE 2 +Flags (\\Deleted)", "A00008 COPY 1 Nope", "A00009 LOGOUT"));
}

TEST_F(ImapSession, AppendRetriesWithoutFlagsAndDateWhenRefused) {
  std::string letter = "Subject: x\r\n\r\nhello\r\n";
  const steps literal{server::read_line(), server::send("+ go ahead\r\n"),
                      server::read_bytes(static_cast<int>(letter.size()) + 2)};
  mail_stream* stream =
      open(selected() + literal + steps{server::send("A00002 BAD no flags in IMAP2\r\n")} +
           literal + steps{server::send("A00003 OK appended\r\n")} + logout(4));
  ASSERT_NE(stream, nullptr);
  text_source message;
  text_source_from_memory(message, letter);
  EXPECT_TRUE(stream->driver->append(stream, name("Drafts"), "\\Seen", " 5-Dec-1996 11:53:20 +0800",
                                     message));
  mail_close(stream);
  std::string count = "{" + std::to_string(letter.size()) + "}\r\n";
  EXPECT_THAT(peer_->received(),
              HasSubstr("A00002 APPEND Drafts (\\Seen) \" 5-Dec-1996 11:53:20 +0800\" " + count +
                        letter + "\r\n"));
  EXPECT_THAT(peer_->received(), HasSubstr("A00003 APPEND Drafts " + count + letter + "\r\n"));
}

TEST_F(ImapSession, ListingFallsBackFromFindToTheImap4Commands) {
  mail_stream* stream = open(select_then(
      {"A00002 BAD unknown FIND", "* LSUB () \"/\" Work\r\nA00003 OK listed", "A00004 OK listed"}));
  ASSERT_NE(stream, nullptr);
  stream->driver->list(stream, name("*"));
  stream->driver->list(stream, "*");
  mail_close(stream);
  EXPECT_THAT(commands(), ElementsAre("A00002 FIND MAILBOXES \"*\"", "A00003 LSUB \"\" \"*\"",
                                      "A00004 LSUB \"\" \"*\"", "A00005 LOGOUT"));
  EXPECT_THAT(names_, ElementsAre(name("Work")));
}

TEST_F(ImapSession, ListingAllFallsBackToListThenToTheSubscribedOnes) {
  mail_stream* stream = open(select_then({"A00002 BAD unknown FIND",
                                          "* LIST (\\HasNoChildren) \"/\" \"Sent Mail\"\r\n"
                                          "* LIST () NIL {5}\r\nDraft\r\nA00003 OK listed"}));
  ASSERT_NE(stream, nullptr);
  stream->driver->list_all(stream, "*");
  mail_close(stream);
  EXPECT_THAT(names_, ElementsAre(name("Sent Mail"), name("Draft")));
  EXPECT_EQ(commands()[1], "A00003 LIST \"\" \"*\"");
}

TEST_F(ImapSession, SubscribingTriesTheImap4CommandFirst) {
  mail_stream* stream = open(select_then(
      {"A00002 OK subscribed", "A00003 BAD unknown UNSUBSCRIBE", "A00004 OK unsubscribed"}));
  ASSERT_NE(stream, nullptr);
  EXPECT_TRUE(stream->driver->subscribe(stream, name("Work")));
  EXPECT_TRUE(stream->driver->unsubscribe(stream, name("Work")));
  mail_close(stream);
  EXPECT_THAT(commands(), ElementsAre("A00002 SUBSCRIBE Work", "A00003 UNSUBSCRIBE Work",
                                      "A00004 Unsubscribe Mailbox Work", "A00005 LOGOUT"));
}

}  // namespace
