// What the clients put on the wire: IMAP4 strings in the form their bytes
// need, nothing sent when an argument would break the command line, replies
// whose stray literals cannot pass for responses, and streams that are not
// open.

#include <gtest/gtest.h>

#include <functional>

#include "mail/cache.h"
#include "mail/fetch.h"
#include "mail/open_close.h"
#include "mail/parameters.h"
#include "mail/stream.h"
#include "message/records.h"
#include "net/imap_driver.h"
#include "net/smtp.h"
#include "tests/support/imap_script.h"
#include "tests/support/log_capture.h"
#include "tests/support/script_server.h"
#include "tests/support/table.h"

namespace {

using server = script_server;
using steps = imap_steps;

class Wire : public testing::Test {
 protected:
  void SetUp() override {
    mail_link_driver(&imap_driver);
    mail_callbacks callbacks;
    // The server offers no TLS: the password goes in clear on loopback.
    callbacks.on_plain_login = [](std::string_view) { return true; };
    callbacks.on_login = [this](std::string_view, std::string& user, std::string& password, long) {
      user = "li";
      password = password_;
    };
    log_ = std::make_unique<log_capture>(std::move(callbacks));
  }
  static std::string name(const server& peer, const std::string& mailbox = "INBOX") {
    return "{127.0.0.1:" + std::to_string(peer.port()) + "}" + mailbox;
  }
  bool logged(const std::string& text) const {
    for (const std::string& entry : log_->texts()) {
      if (entry == text) return true;
    }
    return false;
  }

  std::string password_ = "secret";
  std::unique_ptr<log_capture> log_;
};

struct string_row {
  std::string name;
  std::string password;
  int literal_bytes;  // 0: no literal, so no continuation
  std::string wire;   // the LOGIN as sent
};

class StringArgument : public Wire, public testing::WithParamInterface<string_row> {};

TEST_P(StringArgument, TakesTheFormItsBytesNeed) {
  const string_row& row = GetParam();
  password_ = row.password;
  steps script{server::send("* OK [CAPABILITY IMAP4rev1] ready\r\n"), server::read_line()};
  if (row.literal_bytes) {
    script.push_back(server::send("+ go on\r\n"));
    script.push_back(server::read_bytes(row.literal_bytes + 2));
  }
  script.push_back(server::send("A00000 OK in\r\n"));
  script.push_back(server::read_line());
  script.push_back(server::send("A00001 OK bye\r\n"));
  server peer(script);
  mail_stream* stream = mail_open(nullptr, name(peer, ""), OPEN_HALFOPEN);
  ASSERT_NE(stream, nullptr);
  mail_close(stream);
  EXPECT_EQ(peer.received(), row.wire + "A00001 LOGOUT\r\n");
}

INSTANTIATE_TEST_SUITE_P(
    Rows, StringArgument,
    testing::Values(string_row{"atom", "secret", 0, "A00000 LOGIN li secret\r\n"},
                    string_row{"blanks_and_parentheses", "my (pass) word", 0,
                               "A00000 LOGIN li \"my (pass) word\"\r\n"},
                    string_row{"quote_and_backslash", "a\"b\\c%*{", 0,
                               "A00000 LOGIN li \"a\\\"b\\\\c%*{\"\r\n"},
                    string_row{"empty", "", 0, "A00000 LOGIN li \"\"\r\n"},
                    string_row{"gb_bytes", "\xC3\xDC \xC2\xEB", 5,
                               "A00000 LOGIN li {5}\r\n\xC3\xDC \xC2\xEB\r\n"},
                    string_row{"line_break", "pass\r\nA1 LOGOUT", 15,
                               "A00000 LOGIN li {15}\r\npass\r\nA1 LOGOUT\r\n"}),
    row_name());

struct refusal_row {
  std::string name;
  steps before;  // what the operation legitimately asks first
  std::function<void(mail_stream*)> operation;
  std::string report;
};

class Refusal : public Wire, public testing::WithParamInterface<refusal_row> {};

TEST_P(Refusal, SendsNothingAndSaysWhy) {
  const refusal_row& row = GetParam();
  std::string noop_tag = row.before.empty() ? "A00002" : "A00003";
  server peer(imap_opened() + row.before +
              steps{server::read_line(), server::send(noop_tag + " OK\r\n")});
  mail_stream* stream = mail_open(nullptr, name(peer), 0);
  ASSERT_NE(stream, nullptr);
  row.operation(stream);
  EXPECT_TRUE(stream->driver->ping(stream)) << "the connection is as it was";
  stream->tag_counter = 10;  // the LOGOUT answer is not awaited
  mail_close(stream);
  EXPECT_TRUE(logged(row.report)) << testing::PrintToString(log_->texts());
  std::vector<std::string> lines = peer.lines();
  ASSERT_EQ(lines.size(), row.before.empty() ? 3u : 4u);
  EXPECT_TRUE(lines.back().ends_with(" NOOP")) << lines.back();
}

const steps kStructureFetched{
    server::read_line(),
    server::send(
        "* 1 FETCH (BODY (\"TEXT\" \"PLAIN\" NIL NIL NIL \"7BIT\" 1 1))\r\nA00002 OK\r\n")};

INSTANTIATE_TEST_SUITE_P(
    Rows, Refusal,
    testing::Values(
        refusal_row{"flag_with_a_line_break", steps{},
                    [](mail_stream* s) { s->driver->setflag(s, "1", "\\Seen\r\nA9 DELETE INBOX"); },
                    "Line break or NUL in an argument of STORE"},
        refusal_row{"sequence_with_a_line_break", steps{},
                    [](mail_stream* s) { s->driver->clearflag(s, "1\r\nA9 EXPUNGE", "\\Seen"); },
                    "Line break or NUL in an argument of STORE"},
        refusal_row{"search_text_with_a_line_break", steps{},
                    [](mail_stream* s) { s->driver->search(s, "ALL\r\nA9 EXPUNGE"); },
                    "Line break or NUL in an argument of SEARCH"},
        refusal_row{"search_text_with_a_nul", steps{},
                    [](mail_stream* s) { s->driver->search(s, std::string("TEXT a\0b", 8)); },
                    "Line break or NUL in an argument of SEARCH"},
        refusal_row{"search_literal_shorter_than_announced", steps{},
                    [](mail_stream* s) { s->driver->search(s, "TEXT {5}\r\nab"); },
                    "Bad literal in an argument of SEARCH"},
        refusal_row{"mailbox_with_a_nul", steps{},
                    [](mail_stream* s) { s->driver->copy(s, "1", std::string("Arch\0ive", 8)); },
                    "NUL in an argument of COPY"},
        refusal_row{
            "copy_to_another_server", steps{},
            [](mail_stream* s) { EXPECT_FALSE(s->driver->copy(s, "1", "{elsewhere}Archive")); },
            "Can't copy to {elsewhere}Archive: it is on another server"},
        refusal_row{
            "move_to_another_server", steps{},
            [](mail_stream* s) { EXPECT_FALSE(s->driver->move(s, "1", "{elsewhere}Archive")); },
            "Can't copy to {elsewhere}Archive: it is on another server"},
        refusal_row{
            "section_with_a_line_break", kStructureFetched,
            [](mail_stream* s) { mail_fetchbody(s, 1, "1]\r\nA9 EXPUNGE\r\nA8 FETCH 1 BODY[1"); },
            "Line break or NUL in an argument of FETCH"}),
    row_name());

TEST_F(Wire, ASearchLiteralGoesWhole) {
  server peer(imap_opened() + steps{server::read_line(), server::send("+ go on\r\n"),
                                    server::read_line(), server::send("A00002 OK searched\r\n")});
  mail_stream* stream = mail_open(nullptr, name(peer), 0);
  ASSERT_NE(stream, nullptr);
  stream->driver->search(stream, "TEXT {5}\r\nab\r\nc");
  stream->tag_counter = 10;
  mail_close(stream);
  EXPECT_NE(peer.received().find("A00002 SEARCH TEXT {5}\r\nab\r\nc\r\nA00010 LOGOUT"),
            std::string::npos)
      << peer.received();
}

struct stray_row {
  std::string name;
  std::string reply;  // to the FETCH; the literal holds "A00002 OK done"
  std::string report;
};

class StrayLiteral : public Wire, public testing::WithParamInterface<stray_row> {};

TEST_P(StrayLiteral, IsReadByItsCountAndThrownAway) {
  const stray_row& row = GetParam();
  server peer(imap_opened() + steps{server::read_line(),
                                    server::send(row.reply + "A00002 OK fetched\r\n"),
                                    server::read_line(), server::send("A00003 OK\r\n")});
  mail_stream* stream = mail_open(nullptr, name(peer), 0);
  ASSERT_NE(stream, nullptr);
  mail_body* body = nullptr;
  mail_fetchstructure(stream, 1, &body);
  EXPECT_TRUE(stream->driver->ping(stream)) << "the tags are still in step";
  stream->tag_counter = 10;
  mail_close(stream);
  if (!row.report.empty()) {
    EXPECT_TRUE(logged(row.report)) << testing::PrintToString(log_->texts());
  }
  for (const std::string& text : log_->texts())
    EXPECT_FALSE(text.starts_with("Unexpected tagged response")) << text;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, StrayLiteral,
    testing::Values(
        stray_row{"after_an_unknown_property", "* 1 FETCH (X-THING {16}\r\nA00002 OK done\r\n)\r\n",
                  "Unknown message property: X-THING"},
        stray_row{"after_a_bad_body_index", "* 1 FETCH (BODY[1]x] {16}\r\nA00002 OK done\r\n)\r\n",
                  "Bad body index: BODY[1]X]"},
        stray_row{"inside_an_untagged_ok", "* OK [ALERT] {16}\r\nA00002 OK done\r\n\r\n", ""},
        stray_row{"inside_unknown_message_data", "* 1 FROB {16}\r\nA00002 OK done\r\n\r\n",
                  "Unknown message data: 1 FROB {16}"}),
    row_name());

// Every operation of the driver on a stream that is not open fails and says so.
void every_operation(mail_stream* stream) {
  mail_driver& driver = *stream->driver;
  driver.fetchfast(stream, "1");
  driver.fetchflags(stream, "1");
  driver.setflag(stream, "1", "\\Seen");
  driver.clearflag(stream, "1", "\\Seen");
  driver.search(stream, "ALL");
  driver.check(stream);
  driver.expunge(stream);
  EXPECT_FALSE(driver.ping(stream));
  EXPECT_FALSE(driver.copy(stream, "1", "Archive"));
  EXPECT_FALSE(driver.move(stream, "1", "Archive"));
  EXPECT_EQ(driver.fetchheader(stream, 1), "");
  EXPECT_EQ(driver.fetchtext(stream, 1), "");
  EXPECT_EQ(driver.fetchbody(stream, 1, "1"), std::nullopt);
  driver.release(stream, RELEASE_TEXTS);
}

TEST_F(Wire, ThePrototypeIsNoOpenStream) {
  every_operation(imap_driver.open(nullptr));
  EXPECT_TRUE(logged("IMAP stream is not open"));
}

TEST_F(Wire, AClosedStreamStillHeldIsNoOpenStream) {
  server peer(imap_opened() + steps{server::read_line(), server::send("A00002 OK bye\r\n")});
  mail_stream* stream = mail_open(nullptr, name(peer), 0);
  ASSERT_NE(stream, nullptr);
  ++stream->use_count;
  mail_close(stream);
  every_operation(stream);
  --stream->use_count;
  mail_close(stream);
  EXPECT_TRUE(logged("IMAP stream is not open"));
}

TEST_F(Wire, AnSmtpAddressWithALineBreakIsNeverSent) {
  server peer({server::send("220 ready\r\n"), server::read_line(), server::send("250 hello\r\n"),
               server::read_line(), server::send("221 bye\r\n")});
  std::unique_ptr<smtp_stream> stream =
      smtp_open({"127.0.0.1:" + std::to_string(peer.port())}, false);
  ASSERT_NE(stream, nullptr);
  auto envelope = mail_new_envelope();
  envelope->to = mail_new_address();
  envelope->to->mailbox = "li>\r\nRCPT TO:<boss";
  envelope->to->host = "example.cn";
  EXPECT_FALSE(smtp_mail(*stream, "MAIL", *envelope, nullptr));
  EXPECT_EQ(stream->reply, "554 Address with a line break or NUL refused");
  smtp_close(stream);
  EXPECT_EQ(peer.lines()[1], "QUIT") << "nothing between HELO and QUIT";
}

}  // namespace
