// The IMAP client against a real Dovecot server.

#include <gtest/gtest.h>

#include "mail/cache.h"
#include "mail/fetch.h"
#include "mail/open_close.h"
#include "mail/parameters.h"
#include "mail/stream.h"
#include "message/records.h"
#include "message/text_source.h"
#include "net/imap_driver.h"
#include "tests/support/dovecot_server.h"
#include "tests/support/fault_proxy.h"
#include "tests/support/log_capture.h"

namespace {

// The sections of every leaf of a body, as the fetch routine names them;
// an embedded message is a leaf itself and also has leaves of its own.
void leaf_sections(const mail_body& body, const std::string& prefix,
                   std::vector<std::string>& sections) {
  if (body.type == TYPE_MULTIPART) {
    int n = 0;
    for (const mail_body_part* part = body.contents.part.get(); part; part = part->next.get()) {
      std::string number = std::to_string(++n);
      leaf_sections(part->body, prefix.empty() ? number : prefix + "." + number, sections);
    }
    return;
  }
  std::string here = prefix.empty() ? "1" : prefix;
  sections.push_back(here);
  if (body.type == TYPE_MESSAGE && body.contents.message.body) {
    const mail_body& inner = *body.contents.message.body;
    leaf_sections(inner, inner.type == TYPE_MULTIPART ? here : here + ".1", sections);
  }
}

const char* kMultipartLetter =
    "From: Wang Li <wang@pku.edu.cn>\n"
    "To: li@example.cn\n"
    "Subject: pictures\n"
    "MIME-Version: 1.0\n"
    "Content-Type: multipart/mixed; boundary=\"b1\"\n"
    "\n"
    "preamble\n"
    "--b1\n"
    "Content-Type: text/plain; charset=\"CN-GB\"\n"
    "Content-Transfer-Encoding: quoted-printable\n"
    "\n"
    "=C4=E3=BA=C3 hello\n"
    "--b1\n"
    "Content-Type: image/gif\n"
    "Content-Transfer-Encoding: base64\n"
    "\n"
    "R0lGODlhAQABAIAAAAAAAP///yH5BAEAAAAALAAAAAABAAEAAAIBRAA7\n"
    "--b1\n"
    "Content-Type: message/rfc822\n"
    "\n"
    "From: someone@example.org\n"
    "Subject: inner\n"
    "\n"
    "inner body\n"
    "--b1--\n";

class Dovecot : public testing::Test {
 protected:
  void SetUp() override {
    server_ = std::make_unique<dovecot_server>();
    if (!server_->running()) GTEST_SKIP() << server_->reason();
    mail_link_driver(&imap_driver);
    mail_callbacks callbacks;
    callbacks.on_login = [this](std::string_view, std::string& user, std::string& password,
                                long trial) {
      ++trials_;
      user = "tester";
      password = trial <= wrong_passwords_ ? "wrong" : "secret";
    };
    log_ = std::make_unique<log_capture>(std::move(callbacks));
  }

  mail_stream* open_inbox(long options = 0) {
    mail_stream* stream = mail_open(nullptr, server_->mailbox_name(), options);
    EXPECT_NE(stream, nullptr) << testing::PrintToString(log_->texts());
    return stream;
  }

  std::unique_ptr<dovecot_server> server_;
  std::unique_ptr<log_capture> log_;
  int trials_ = 0;
  int wrong_passwords_ = 0;
};

TEST_F(Dovecot, TheRightPasswordOpensTheInbox) {
  server_->deliver("tester", "Subject: one\n\nfirst\n");
  mail_stream* stream = open_inbox();
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(stream->nmsgs, 1u);
  EXPECT_EQ(trials_, 1);
  EXPECT_FALSE(stream->readonly);
  mail_close(stream);
}

TEST_F(Dovecot, AWrongPasswordIsAskedAgain) {
  wrong_passwords_ = 1;
  mail_stream* stream = open_inbox();
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(trials_, 2);
  mail_close(stream);
}

TEST_F(Dovecot, ThreeWrongPasswordsEndTheAttempt) {
  wrong_passwords_ = 3;
  EXPECT_EQ(mail_open(nullptr, server_->mailbox_name(), 0), nullptr);
  EXPECT_EQ(trials_, 3);
  std::vector<std::string> texts = log_->texts();
  EXPECT_NE(std::find(texts.begin(), texts.end(), "Too many login failures"), texts.end());
}

TEST_F(Dovecot, FlagsSearchCopyExpungeAndAppend) {
  for (int i = 1; i <= 4; ++i) {
    server_->deliver("tester", "Subject: letter " + std::to_string(i) +
                                   "\nFrom: li@example.cn\n\nbody of letter " + std::to_string(i) +
                                   "\n");
  }
  mail_stream* stream = open_inbox();
  ASSERT_NE(stream, nullptr);
  ASSERT_EQ(stream->nmsgs, 4u);
  mail_driver& driver = *stream->driver;

  driver.setflag(stream, "2:3", "(\\Flagged \\Seen)");
  driver.fetchflags(stream, "1:4");
  EXPECT_TRUE(mail_elt(stream, 2)->flagged && mail_elt(stream, 3)->seen);
  EXPECT_FALSE(mail_elt(stream, 1)->flagged);
  driver.clearflag(stream, "3", "\\Flagged");
  driver.fetchflags(stream, "3");
  EXPECT_FALSE(mail_elt(stream, 3)->flagged);

  driver.search(stream, "FLAGGED");
  std::vector<std::uint32_t> found;
  for (std::uint32_t i = 1; i <= 4; ++i) {
    if (mail_elt(stream, i)->searched) found.push_back(i);
  }
  EXPECT_EQ(found, std::vector<std::uint32_t>{2});

  EXPECT_TRUE(driver.create(stream, server_->mailbox_name("Archive")));
  EXPECT_TRUE(driver.copy(stream, "1,4", "Archive"));
  mail_setflag(stream, "1", "\\Deleted");
  mail_expunge(stream);
  EXPECT_EQ(stream->nmsgs, 3u);

  std::string letter = "Subject: appended\r\n\r\nhello\r\n";
  text_source source;
  text_source_from_memory(source, letter);
  EXPECT_TRUE(driver.append(stream, server_->mailbox_name("Archive"), "(\\Seen)",
                            " 5-Dec-1996 11:53:20 +0800", source));
  mail_close(stream);

  mail_stream* archive = mail_open(nullptr, server_->mailbox_name("Archive"), OPEN_READONLY);
  ASSERT_NE(archive, nullptr);
  EXPECT_EQ(archive->nmsgs, 3u);
  archive->driver->fetchfast(archive, "3");
  EXPECT_TRUE(mail_elt(archive, 3)->seen);
  EXPECT_EQ(mail_elt(archive, 3)->day, 5u);
  EXPECT_EQ(mail_fetchheader(archive, 3), "Subject: appended\r\n\r\n");
  EXPECT_EQ(archive->driver->fetchtext(archive, 3), "hello\r\n");
  mail_envelope* envelope = mail_fetchstructure(archive, 1, nullptr);
  ASSERT_NE(envelope, nullptr);
  EXPECT_EQ(envelope->subject, "letter 1");
  mail_close(archive);
}

// A whole fetch through a proxy that cuts the connection at many points,
// inside literals too: every run ends in an orderly failure.
TEST_F(Dovecot, ACutAnywhereInAFetchEndsInAnOrderlyFailure) {
  server_->deliver("tester", kMultipartLetter);
  server_->deliver("tester", "Subject: plain\n\n" + std::string(3000, 'p') + "\n");
  std::vector<std::string> farewells;
  mail_callbacks callbacks = mail_set_callbacks({});
  callbacks.on_notify = [&](mail_stream*, std::string_view text, long level) {
    if (level == LOG_FAREWELL) farewells.push_back(std::string(text));
  };
  mail_set_callbacks(callbacks);
  int cut_runs = 0;
  for (long cut : {0L, 40L, 200L, 400L, 600L, 900L, 1200L, 1500L, 1800L, 2200L, 2600L, 3000L, 3600L,
                   4200L, 5000L, 6500L}) {
    fault_proxy proxy(server_->port(), fault_proxy::toward_client, cut);
    farewells.clear();
    std::string name = "{127.0.0.1:" + std::to_string(proxy.port()) + "}INBOX";
    mail_stream* stream = mail_open(nullptr, name, OPEN_SILENT);
    if (stream) {
      for (std::uint32_t i = 1; i <= stream->nmsgs; ++i) {
        mail_body* body = nullptr;
        mail_fetchstructure(stream, i, &body);
        std::vector<std::string> sections;
        if (body) leaf_sections(*body, "", sections);
        for (const std::string& section : sections)
          mail_fetchbody(stream, i, section);
      }
      mail_close(stream);
    }
    if (proxy.cut()) {
      ++cut_runs;
      if (stream) {
        EXPECT_FALSE(farewells.empty()) << "cut at " << cut;
      }
    }
  }
  EXPECT_GE(cut_runs, 12);
}

}  // namespace
