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
  mail_stream* stream = mail_open(nullptr, name(peer, "50%\xB0off"), 0);
  ASSERT_NE(stream, nullptr);
  mail_close(stream);
  std::vector<std::string> lines = peer.lines();
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[1], "A00001 SELECT {7}");
  EXPECT_EQ(lines[2], "50%\xB0off");
}

TEST_F(ImapSession, ARefusedLiteralEndsTheCommandWithTheRefusal) {
  server peer(logged_in() +
              steps{server::read_line(), server::send("A00001 NO no literals here\r\n")} +
              logout(2));
  mail_stream* stream = mail_open(nullptr,
                                  name(peer,
                                       "a\xB0"
                                       "b"),
                                  0);
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

// A selected session of three messages, the script after SELECT given.
class ImapMailbox : public ImapSession {
 protected:
  mail_stream* open(const steps& after_select, long options = 0) {
    peer_ = std::make_unique<server>(selected() + after_select);
    mail_stream* stream = mail_open(nullptr, name(*peer_), options);
    EXPECT_NE(stream, nullptr);
    return stream;
  }
  std::vector<std::string> commands() {
    std::vector<std::string> lines = peer_->lines();
    return std::vector<std::string>(lines.begin() + 2, lines.end());
  }
  std::unique_ptr<server> peer_;
};

const char* kFetch1 =
    "* 1 FETCH (FLAGS (\\Seen) RFC822.SIZE 300 ENVELOPE (\"Thu, 5 Dec 1996\" {8}\r\n"
    "Hi \"you\" ((\"Wang Li\" NIL \"wang\" \"pku.edu.cn\")) NIL NIL NIL NIL NIL NIL \"<1@pku>\") "
    "BODY (\"TEXT\" \"PLAIN\" (\"CHARSET\" \"GB2312\") NIL NIL \"BASE64\" 8 1))\r\n";

TEST_F(ImapMailbox, StructuresAreFetchedWithLookaheadAndLiterals) {
  mail_stream* stream =
      open(steps{server::read_line(), server::send(std::string(kFetch1) + "A00002 OK done\r\n"),
                 server::read_line(), server::send("A00003 OK done\r\n")} +
           logout(4));
  ASSERT_NE(stream, nullptr);
  mail_body* body = nullptr;
  mail_envelope* envelope = mail_fetchstructure(stream, 1, &body);
  ASSERT_NE(envelope, nullptr);
  EXPECT_EQ(envelope->subject, "Hi \"you\"");
  EXPECT_EQ(envelope->from->personal, "Wang Li");
  EXPECT_EQ(envelope->message_id, "<1@pku>");
  ASSERT_NE(body, nullptr);
  EXPECT_EQ(body->encoding, ENCODING_BASE64);
  EXPECT_TRUE(mail_elt(stream, 1)->seen);
  EXPECT_EQ(mail_elt(stream, 1)->rfc822_size, 300u);
  EXPECT_EQ(mail_fetchstructure(stream, 1, &body), envelope) << "cached: nothing is sent";
  mail_fetchstructure(stream, 2, nullptr);
  mail_close(stream);
  EXPECT_EQ(commands(), (std::vector<std::string>{"A00002 FETCH 1:3 FULL", "A00003 FETCH 2:3 ALL",
                                                  "A00004 LOGOUT"}));
}

TEST_F(ImapMailbox, AServerThatRefusesFullGetsAllFromThenOn) {
  mail_stream* stream = open(steps{server::read_line(), server::send("A00002 BAD what is FULL\r\n"),
                                   server::read_line(), server::send("A00003 OK done\r\n"),
                                   server::read_line(), server::send("A00004 OK done\r\n")} +
                             logout(5));
  ASSERT_NE(stream, nullptr);
  mail_body* body = nullptr;
  mail_fetchstructure(stream, 3, &body);
  mail_fetchstructure(stream, 2, &body);
  mail_close(stream);
  EXPECT_EQ(commands(), (std::vector<std::string>{"A00002 FETCH 3:3 FULL", "A00003 FETCH 3:3 ALL",
                                                  "A00004 FETCH 2:3 ALL", "A00005 LOGOUT"}));
}

TEST_F(ImapMailbox, AnExpungeDuringAFetchIsHonoured) {
  mail_stream* stream =
      open(steps{server::read_line(),
                 server::send("* 1 EXPUNGE\r\n* 2 FETCH (RFC822.SIZE 9)\r\nA00002 OK done\r\n")} +
           logout(3));
  ASSERT_NE(stream, nullptr);
  mail_fetchstructure(stream, 3, nullptr);
  EXPECT_EQ(stream->nmsgs, 2u);
  EXPECT_EQ(mail_elt(stream, 2)->rfc822_size, 9u);
  mail_close(stream);
}

TEST_F(ImapMailbox, StrayLinesAreReportedAndSkipped) {
  mail_stream* stream =
      open(steps{server::read_line(),
                 server::send("\r\nA00099 OK not yours\r\nA00002\r\n* 2 FETCH (RFC822.SIZE 5)\r\n"
                              "A00002 OK done\r\n")} +
           logout(3));
  ASSERT_NE(stream, nullptr);
  mail_fetchstructure(stream, 2, nullptr);
  EXPECT_EQ(mail_elt(stream, 2)->rfc822_size, 5u);
  mail_close(stream);
  std::vector<std::string> texts = log_->texts();
  for (const char* expected :
       {"IMAP server sent a blank line", "Unexpected tagged response: A00099 OK not yours",
        "Missing IMAP reply key: A00002"}) {
    EXPECT_NE(std::find(texts.begin(), texts.end(), expected), texts.end()) << expected;
  }
}

TEST_F(ImapMailbox, BodyPartsComeByTheirSection) {
  mail_stream* stream =
      open(steps{server::read_line(), server::send(std::string(kFetch1) + "A00002 OK done\r\n"),
                 server::read_line(),
                 server::send("* 1 FETCH (BODY[1] {8}\r\nxMTIzNA=)\r\nA00003 OK done\r\n")} +
           logout(4));
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(mail_fetchbody(stream, 1, "1"), std::optional<std::string_view>("xMTIzNA="));
  mail_close(stream);
  EXPECT_EQ(commands()[1], "A00003 FETCH 1 BODY[1]");
}

TEST_F(ImapMailbox, AConnectionLostInsideALiteralEndsInAnOrderlyFailure) {
  mail_stream* stream =
      open(steps{server::read_line(), server::send(std::string(kFetch1) + "A00002 OK done\r\n"),
                 server::read_line(), server::send("* 1 FETCH (BODY[1] {800}\r\nonly a few"),
                 server::close()});
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(mail_fetchbody(stream, 1, "1"), std::nullopt);
  EXPECT_NE(std::find(notes_.begin(), notes_.end(), "4 IMAP connection broken (server response)"),
            notes_.end());
  EXPECT_FALSE(stream->driver->ping(stream));
  mail_close(stream);
}

TEST_F(ImapMailbox, FlagsSearchCopyAndMove) {
  mail_stream* stream =
      open(steps{server::read_line(), server::send("A00002 OK stored\r\n"), server::read_line(),
                 server::send("A00003 OK stored\r\n"), server::read_line(),
                 server::send("* SEARCH 1 3\r\nA00004 OK searched\r\n"), server::read_line(),
                 server::send("A00005 OK fetched\r\n"), server::read_line(),
                 server::send("A00006 OK copied\r\n"), server::read_line(),
                 server::send("A00007 OK stored\r\n"), server::read_line(),
                 server::send("A00008 NO [TRYCREATE] no such mailbox\r\n")} +
           logout(9));
  ASSERT_NE(stream, nullptr);
  stream->driver->setflag(stream, "1:2", "\\Seen \\Flagged");
  stream->driver->clearflag(stream, "3", "(\\Deleted)");
  stream->driver->search(stream, "SUBJECT hello");
  EXPECT_TRUE(mail_elt(stream, 1)->searched && mail_elt(stream, 3)->searched);
  EXPECT_FALSE(mail_elt(stream, 2)->searched);
  EXPECT_TRUE(stream->driver->move(stream, "2", "Archive"));
  EXPECT_FALSE(stream->driver->copy(stream, "1", "Nope"));
  mail_close(stream);
  EXPECT_EQ(commands(),
            (std::vector<std::string>{
                "A00002 STORE 1:2 +Flags (\\Seen \\Flagged)", "A00003 STORE 3 -Flags (\\Deleted)",
                "A00004 SEARCH SUBJECT hello", "A00005 FETCH 1,3 ALL", "A00006 COPY 2 Archive",
                "A00007 STORE 2 +Flags (\\Deleted)", "A00008 COPY 1 Nope", "A00009 LOGOUT"}));
}

TEST_F(ImapMailbox, AppendRetriesWithoutFlagsAndDateWhenRefused) {
  std::string letter = "Subject: x\r\n\r\nhello\r\n";
  mail_stream* stream = open(steps{server::read_line(), server::send("+ go ahead\r\n"),
                                   server::read_bytes(static_cast<int>(letter.size()) + 2),
                                   server::send("A00002 BAD no flags in IMAP2\r\n"),
                                   server::read_line(), server::send("+ go ahead\r\n"),
                                   server::read_bytes(static_cast<int>(letter.size()) + 2),
                                   server::send("A00003 OK appended\r\n")} +
                             logout(4));
  ASSERT_NE(stream, nullptr);
  text_source message;
  text_source_from_memory(message, letter);
  EXPECT_TRUE(stream->driver->append(stream, name(*peer_, "Drafts"), "\\Seen",
                                     " 5-Dec-1996 11:53:20 +0800", message));
  mail_close(stream);
  std::string wire = peer_->received();
  std::string count = "{" + std::to_string(letter.size()) + "}\r\n";
  EXPECT_NE(wire.find("A00002 APPEND Drafts (\\Seen) \" 5-Dec-1996 11:53:20 +0800\" " + count +
                      letter + "\r\n"),
            std::string::npos)
      << wire;
  EXPECT_NE(wire.find("A00003 APPEND Drafts " + count + letter + "\r\n"), std::string::npos)
      << wire;
}

TEST_F(ImapMailbox, ListingFallsBackFromFindToTheImap4Commands) {
  mail_stream* stream =
      open(steps{server::read_line(), server::send("A00002 BAD unknown FIND\r\n"),
                 server::read_line(), server::send("* LSUB () \"/\" Work\r\nA00003 OK listed\r\n"),
                 server::read_line(), server::send("A00004 OK listed\r\n")} +
           logout(5));
  ASSERT_NE(stream, nullptr);
  std::vector<std::string> names;
  mail_callbacks callbacks = mail_set_callbacks({});
  mail_callbacks listing = callbacks;
  listing.on_mailbox = [&](std::string_view name) { names.push_back(std::string(name)); };
  mail_set_callbacks(listing);
  stream->driver->list(stream, name(*peer_, "*"));
  stream->driver->list(stream, "*");
  mail_set_callbacks(callbacks);
  mail_close(stream);
  EXPECT_EQ(commands(),
            (std::vector<std::string>{"A00002 FIND MAILBOXES \"*\"", "A00003 LSUB \"\" \"*\"",
                                      "A00004 LSUB \"\" \"*\"", "A00005 LOGOUT"}));
  EXPECT_EQ(names,
            std::vector<std::string>{"{127.0.0.1:" + std::to_string(peer_->port()) + "}Work"});
}

TEST_F(ImapSession, ThePortParameterServesNamesWithoutAPort) {
  server peer(selected() + logout(2));
  mail_parameters(nullptr, SET_IMAPPORT, reinterpret_cast<void*>(static_cast<long>(peer.port())));
  mail_stream* stream = mail_open(nullptr, "{127.0.0.1}INBOX", 0);
  mail_parameters(nullptr, SET_IMAPPORT, nullptr);
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(stream->mailbox, "{127.0.0.1:" + std::to_string(peer.port()) + "}INBOX");
  mail_close(stream);
}

TEST_F(ImapSession, MailboxCommandsWithoutAStreamBorrowAConnection) {
  steps script = logged_in() + steps{server::read_line(), server::send("A00001 OK subscribed\r\n")};
  server peer(script + logout(2));
  mail_stream* prototype = mail_open(nullptr, name(peer), OPEN_PROTOTYPE);
  ASSERT_NE(prototype, nullptr);
  EXPECT_TRUE(prototype->driver->subscribe(prototype, name(peer, "Lists/kestrel")));
  EXPECT_EQ(peer.lines(),
            (std::vector<std::string>{"A00000 LOGIN li secret", "A00001 SUBSCRIBE Lists/kestrel",
                                      "A00002 LOGOUT"}));
}

TEST_F(ImapSession, RenameSendsTheNewNameWithoutItsServer) {
  server peer(logged_in() + steps{server::read_line(), server::send("A00001 OK renamed\r\n")} +
              logout(2));
  mail_stream* prototype = mail_open(nullptr, name(peer), OPEN_PROTOTYPE);
  EXPECT_TRUE(prototype->driver->rename(prototype, name(peer, "Old"), name(peer, "New Name")));
  EXPECT_EQ(peer.lines()[1], "A00001 Rename Old \"New Name\"");
}

TEST_F(ImapMailbox, ListingAllFallsBackToListThenToTheSubscribedOnes) {
  mail_stream* stream = open(
      steps{server::read_line(), server::send("A00002 BAD unknown FIND\r\n"), server::read_line(),
            server::send("* LIST (\\HasNoChildren) \"/\" \"Sent Mail\"\r\n"
                         "* LIST () NIL {5}\r\nDraft\r\nA00003 OK listed\r\n")} +
      logout(4));
  ASSERT_NE(stream, nullptr);
  std::vector<std::string> names;
  mail_callbacks old = mail_set_callbacks({});
  mail_callbacks listing = old;
  listing.on_mailbox = [&](std::string_view name) { names.push_back(std::string(name)); };
  mail_set_callbacks(listing);
  stream->driver->list_all(stream, "*");
  mail_set_callbacks(old);
  mail_close(stream);
  std::string prefix = "{127.0.0.1:" + std::to_string(peer_->port()) + "}";
  EXPECT_EQ(names, (std::vector<std::string>{prefix + "Sent Mail", prefix + "Draft"}));
  EXPECT_EQ(commands()[1], "A00003 LIST \"\" \"*\"");
}

TEST_F(ImapMailbox, SubscribingTriesTheImap4CommandFirst) {
  mail_stream* stream =
      open(steps{server::read_line(), server::send("A00002 OK subscribed\r\n"), server::read_line(),
                 server::send("A00003 BAD unknown UNSUBSCRIBE\r\n"), server::read_line(),
                 server::send("A00004 OK unsubscribed\r\n")} +
           logout(5));
  ASSERT_NE(stream, nullptr);
  EXPECT_TRUE(stream->driver->subscribe(stream, name(*peer_, "Work")));
  EXPECT_TRUE(stream->driver->unsubscribe(stream, name(*peer_, "Work")));
  mail_close(stream);
  EXPECT_EQ(commands(),
            (std::vector<std::string>{"A00002 SUBSCRIBE Work", "A00003 UNSUBSCRIBE Work",
                                      "A00004 Unsubscribe Mailbox Work", "A00005 LOGOUT"}));
}

}  // namespace
