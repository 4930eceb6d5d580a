// The SMTP client against aiosmtpd, directly and through a proxy that cuts
// the connection.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "message/message_output.h"
#include "net/smtp.h"
#include "net/tls.h"
#include "tests/net/smtp_letter.h"
#include "tests/support/fault_proxy.h"
#include "tests/support/log_capture.h"
#include "tests/support/smtp_sink_server.h"

namespace {

using testing::Contains;
using testing::ElementsAre;
using testing::HasSubstr;
using testing::Not;

// A letter to two people, one more in cc and one in bcc.
letter to_several(const std::string& text) {
  letter mail(text);
  mail.envelope->to = address("wang", "pku.edu.cn", address("zhao", "pku.edu.cn"));
  mail.envelope->cc = address("chen", "example.cn");
  mail.envelope->bcc = address("boss", "example.cn");
  return mail;
}

// What message_output writes for a letter.
std::string written(letter mail) {
  std::string out;
  message_output(*mail.envelope, mail.body.get(), [&](std::string_view piece) {
    out += piece;
    return true;
  });
  return out;
}

class Aiosmtpd : public testing::Test {
 protected:
  void start(const std::vector<std::string>& refused = {}) {
    sink_ = std::make_unique<smtp_sink_server>(refused);
    if (!sink_->running()) GTEST_SKIP() << sink_->reason();
  }
  std::unique_ptr<smtp_sink_server> sink_;
  log_capture log_;
};

// Every recipient is given, a Bcc one too, and only Bcc ones are enough;
// the letter arrives exactly as written, dotted lines and all.
TEST_F(Aiosmtpd, LettersArriveAsWrittenToEveryRecipient) {
  start();
  auto stream = smtp_open({sink_->host()}, false);
  ASSERT_NE(stream, nullptr) << testing::PrintToString(log_.texts());
  const std::string text = ".a line that starts with a dot\r\n.\r\n..\r\nlast line";
  letter several = to_several(text);
  ASSERT_TRUE(smtp_mail(*stream, "MAIL", *several.envelope, several.body.get())) << stream->reply;
  letter hidden("only bcc");
  hidden.envelope->bcc = address("secret", "example.cn");
  ASSERT_TRUE(smtp_mail(*stream, "MAIL", *hidden.envelope, hidden.body.get()));
  smtp_close(stream);
  auto letters = sink_->letters();
  ASSERT_EQ(letters.size(), 2u);
  EXPECT_EQ(letters[0].content, written(to_several(text)));
  EXPECT_EQ(letters[0].sender, "li@example.cn");
  EXPECT_THAT(letters[0].recipients, ElementsAre("wang@pku.edu.cn", "zhao@pku.edu.cn",
                                                 "chen@example.cn", "boss@example.cn"));
  EXPECT_THAT(letters[0].content, Not(HasSubstr("boss")));
  EXPECT_THAT(letters[1].recipients, ElementsAre("secret@example.cn"));
  EXPECT_THAT(letters[1].content, Not(HasSubstr("secret")));
}

TEST_F(Aiosmtpd, ARefusedRecipientKeepsTheLetterBack) {
  start({"nobody@example.cn"});
  auto stream = smtp_open({sink_->host()}, false);
  ASSERT_NE(stream, nullptr);
  letter mail("x");
  mail.envelope->to = address("wang", "pku.edu.cn", address("nobody", "example.cn"));
  mail.envelope->to->error = mail.envelope->to->next->error = "stale";  // of an earlier try
  EXPECT_FALSE(smtp_mail(*stream, "MAIL", *mail.envelope, mail.body.get()));
  EXPECT_EQ(stream->reply, "554 One or more recipients failed");
  EXPECT_EQ(mail.envelope->to->error, std::nullopt);
  EXPECT_EQ(mail.envelope->to->next->error, "550 5.1.1 <nobody@example.cn>: recipient unknown");
  smtp_close(stream);
  EXPECT_TRUE(sink_->letters().empty());
}

// Cuts at many points of a whole send: every run ends in an orderly failure,
// with the connection's loss reported as 421.
TEST_F(Aiosmtpd, ACutAnywhereEndsInAnOrderlyFailure) {
  start();
  std::string text;
  for (int i = 0; i < 400; ++i)
    text += "line " + std::to_string(i) + " of the letter\r\n";
  int cut_runs = 0;
  for (long cut : {0L, 5L, 30L, 60L, 100L, 200L, 1000L, 5000L, 9000L}) {
    for (auto direction : {fault_proxy::toward_server, fault_proxy::toward_client}) {
      fault_proxy proxy(sink_->port(), direction, cut);
      auto stream = smtp_open({"127.0.0.1:" + std::to_string(proxy.port())}, false);
      if (!stream) continue;  // cut before the greeting or HELO was done
      letter mail(text);
      mail.envelope->to = address("wang", "pku.edu.cn");
      bool sent = smtp_mail(*stream, "MAIL", *mail.envelope, mail.body.get());
      if (proxy.cut()) {
        ++cut_runs;
        EXPECT_FALSE(sent) << "cut at " << cut;
        EXPECT_EQ(stream->reply.substr(0, 3), "421") << stream->reply;
      }
      smtp_close(stream);
    }
  }
  EXPECT_GE(cut_runs, 8) << "cuts after the greeting, in the commands and inside DATA";
}

// aiosmtpd that requires STARTTLS (or TLS from the first byte) and a login,
// with its certificate trusted.
class SecureAiosmtpd : public testing::Test {
 protected:
  void start(bool implicit_tls) {
    sink_ = std::make_unique<smtp_sink_server>(smtp_sink_server::security{implicit_tls});
    if (!sink_->running()) GTEST_SKIP() << sink_->reason();
    tls_trust_file(sink_->certificate());
  }
  void TearDown() override { tls_trust_file(""); }
  std::string host(int port, bool implicit_tls) const {
    return "localhost:" + std::to_string(port) + (implicit_tls ? "/tls" : "");
  }
  std::unique_ptr<smtp_sink_server> sink_;
  log_capture log_;
};

// STARTTLS, a wrong password and no login at all are tried through
// kestrel-mail send (tests/cli); here TLS from the first byte.
TEST_F(SecureAiosmtpd, TlsFromTheFirstByteLogsIn) {
  start(true);
  smtp_account account{"tester", "secret"};
  std::string failure;
  auto stream = smtp_open({host(sink_->port(), true)}, false, &account, &failure);
  ASSERT_NE(stream, nullptr) << failure << testing::PrintToString(log_.texts());
  letter mail("over TLS");
  mail.envelope->to = address("wang", "pku.edu.cn");
  smtp_mail(*stream, "MAIL", *mail.envelope, mail.body.get());
  EXPECT_EQ(stream->reply, "250 Message accepted for delivery");
  smtp_close(stream);
  EXPECT_EQ(sink_->letters().size(), 1u);
  EXPECT_THAT(sink_->logins(), ElementsAre("tls=yes user=tester ok=yes"));
}

TEST_F(SecureAiosmtpd, AnExpiredCertificateIsRefusedWithItsCause) {
  smtp_sink_server::security expired;
  expired.implicit_tls = true;
  expired.expired = true;
  sink_ = std::make_unique<smtp_sink_server>(expired);
  if (!sink_->running()) GTEST_SKIP() << sink_->reason();
  tls_trust_file(sink_->certificate());
  smtp_account account{"tester", "secret"};
  std::string failure;
  EXPECT_EQ(smtp_open({host(sink_->port(), true)}, false, &account, &failure), nullptr);
  EXPECT_EQ(failure, "421 TLS with the server failed");
  EXPECT_THAT(log_.texts(), Contains("Certificate of localhost refused: expired"));
  EXPECT_TRUE(sink_->logins().empty());
}

// Captured on loopback: nothing of the login passes before STARTTLS, and the
// password never passes in clear.
TEST_F(SecureAiosmtpd, NoPasswordCrossesBeforeTls) {
  start(false);
  fault_proxy capture(sink_->port(), fault_proxy::toward_server, -1);
  smtp_account account{"tester", "secret"};
  auto stream = smtp_open({host(capture.port(), false)}, false, &account);
  ASSERT_NE(stream, nullptr) << testing::PrintToString(log_.texts());
  smtp_close(stream);
  std::string wire = capture.client_bytes();
  std::size_t upgrade = wire.find("STARTTLS\r\n");
  ASSERT_NE(upgrade, std::string::npos);
  EXPECT_THAT(wire.substr(0, upgrade), Not(HasSubstr("AUTH")));
  EXPECT_THAT(wire, Not(HasSubstr("secret")));
  EXPECT_THAT(wire, Not(HasSubstr("AHRlc3RlcgBzZWNyZXQ")));
  EXPECT_THAT(sink_->logins(), ElementsAre("tls=yes user=tester ok=yes"));
}

}  // namespace
