// Strings both ways against Dovecot: a password and mailbox names that need
// quoting or literals, and a letter whose subject, names and file name hold
// double quotes and backslashes.

#include <gtest/gtest.h>

#include "mail/fetch.h"
#include "mail/open_close.h"
#include "mail/parameters.h"
#include "mail/stream.h"
#include "message/records.h"
#include "message/text_source.h"
#include "net/imap_driver.h"
#include "tests/support/dovecot_server.h"
#include "tests/support/log_capture.h"
#include "tests/support/table.h"

namespace {

// GB bytes, blanks and parentheses.
const std::string kPassword = "\xC3\xDC\xC2\xEB (mi ma)";

const std::string kQuotedLetter =
    "From: \"Wang \\\"Xiao\\\" Li\" <wang@example.cn>\n"
    "To: \"back\\\\slash\" <li@example.cn>\n"
    "Subject: Re: \"x\" and \\ y\n"
    "MIME-Version: 1.0\n"
    "Content-Type: multipart/mixed; boundary=\"b\"\n\n"
    "--b\nContent-Type: text/plain\n\nA00012 OK done\n"
    "--b\nContent-Type: application/octet-stream; name=\"a \\\"q\\\".bin\"\n"
    "Content-Transfer-Encoding: base64\n\nAAEC\n--b--\n";

class DovecotQuoting : public testing::Test {
 protected:
  void SetUp() override {
    server_ =
        std::make_unique<dovecot_server>(std::vector<dovecot_server::user>{{"tester", kPassword}});
    if (!server_->running()) GTEST_SKIP() << server_->reason();
    mail_link_driver(&imap_driver);
    mail_callbacks callbacks;
    // The server offers no TLS: the password goes in clear on loopback.
    callbacks.on_plain_login = [](std::string_view) { return true; };
    callbacks.on_login = [](std::string_view, std::string& user, std::string& password, long) {
      user = "tester";
      password = kPassword;
    };
    log_ = std::make_unique<log_capture>(std::move(callbacks));
  }

  std::unique_ptr<dovecot_server> server_;
  std::unique_ptr<log_capture> log_;
};

TEST_F(DovecotQuoting, QuotesAndBackslashesKeepTheWholeStructure) {
  server_->deliver("tester", kQuotedLetter);
  mail_stream* stream = mail_open(nullptr, server_->mailbox_name(), 0);
  ASSERT_NE(stream, nullptr) << testing::PrintToString(log_->texts());
  mail_body* body = nullptr;
  mail_envelope* envelope = mail_fetchstructure(stream, 1, &body);
  ASSERT_NE(envelope, nullptr);
  EXPECT_EQ(envelope->subject, "Re: \"x\" and \\ y");
  EXPECT_EQ(envelope->from->personal, "Wang \"Xiao\" Li");
  EXPECT_EQ(envelope->to->personal, "back\\slash");
  ASSERT_NE(body, nullptr);
  EXPECT_EQ(body->subtype, "MIXED") << "nothing after the quoted name is lost";
  const mail_body& file = body->contents.part->next->body;
  EXPECT_EQ(file.parameter_list->value, "a \"q\".bin");
  EXPECT_EQ(mail_fetchbody(stream, 1, "1"), std::optional<std::string_view>("A00012 OK done"));
  EXPECT_TRUE(stream->driver->ping(stream));
  mail_close(stream);
}

struct mailbox_row {
  std::string name;
  std::string mailbox;
  std::string refusal;  // the server's answer when it refuses the name
};

class DovecotMailboxName : public DovecotQuoting,
                           public testing::WithParamInterface<mailbox_row> {};

TEST_P(DovecotMailboxName, ReachesTheServerWhole) {
  const std::string name = server_->mailbox_name(GetParam().mailbox);
  mail_stream* server = mail_open(nullptr, server_->mailbox_name(""), OPEN_HALFOPEN);
  ASSERT_NE(server, nullptr) << testing::PrintToString(log_->texts());
  bool created = imap_driver.create(server, name);
  if (!GetParam().refusal.empty()) {
    // Dovecot takes only modified UTF-7 names: it read the literal as a name
    // and said so, and the connection goes on.
    EXPECT_FALSE(created);
    EXPECT_TRUE(log_->texts().back().starts_with(GetParam().refusal))
        << testing::PrintToString(log_->texts());
    EXPECT_TRUE(server->driver->ping(server));
    mail_close(server);
    return;
  }
  ASSERT_TRUE(created) << testing::PrintToString(log_->texts());
  text_source letter;
  text_source_from_memory(letter, "Subject: filed\r\n\r\nkept\r\n");
  EXPECT_TRUE(imap_driver.append(server, name, std::nullopt, std::nullopt, letter));
  mail_close(server);
  mail_stream* stream = mail_open(nullptr, name, 0);
  ASSERT_NE(stream, nullptr) << testing::PrintToString(log_->texts());
  EXPECT_FALSE(stream->halfopen);
  EXPECT_EQ(stream->nmsgs, 1u);
  mail_close(stream);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, DovecotMailboxName,
    testing::Values(mailbox_row{"blanks_and_parentheses", "Work (2024) plans", ""},
                    mailbox_row{"quote_percent_and_star", "50% \"off\" *now*", ""},
                    mailbox_row{"gb_bytes_and_a_blank", "\xD6\xD0\xCE\xC4 box",
                                "Mailbox name is not valid mUTF-7"}),
    row_name());

}  // namespace
