// TLS under the transport: Dovecot with ssl = required and a certificate of
// the test's own, and the faults a connection can meet in its handshake.

#include "net/tls.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "mail/fetch.h"
#include "mail/open_close.h"
#include "mail/parameters.h"
#include "mail/stream.h"
#include "net/imap_driver.h"
#include "net/tcp.h"
#include "tests/net/script_steps.h"
#include "tests/support/dovecot_server.h"
#include "tests/support/fault_proxy.h"
#include "tests/support/log_capture.h"
#include "tests/support/table.h"

namespace {

using testing::Contains;
using testing::HasSubstr;
using testing::Not;

const std::string kBigText(3 << 20, 'z');

class TlsDovecot : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    server_ = std::make_unique<dovecot_server>(
        std::vector<dovecot_server::user>{{"tester", "secret"}}, dovecot_server::storage::maildir,
        dovecot_server::security::tls);
    if (!server_->running()) return;
    server_->deliver("tester", "Subject: small\n\nhello\n");
    server_->deliver("tester", "Subject: big\n\n" + kBigText + "\n");
  }
  static void TearDownTestSuite() { server_.reset(); }
  void SetUp() override {
    ASSERT_TRUE(server_->running()) << server_->reason();
    mail_link_driver(&imap_driver);
  }
  void TearDown() override { tls_trust_file(""); }

  // Callbacks that log in as tester and note any question about a login in clear.
  mail_callbacks answering() {
    mail_callbacks callbacks;
    callbacks.on_login = [](std::string_view, std::string& user, std::string& password, long) {
      user = "tester";
      password = "secret";
    };
    callbacks.on_plain_login = [this](std::string_view) { return asked_in_clear_ = true; };
    return callbacks;
  }
  static std::string name(const std::string& host, int port, const std::string& words = "") {
    return "{" + host + ":" + std::to_string(port) + words + "}INBOX";
  }

  static std::unique_ptr<dovecot_server> server_;
  bool asked_in_clear_ = false;
};

std::unique_ptr<dovecot_server> TlsDovecot::server_;

enum class trust { server, none, unreadable };

struct open_row {
  std::string name;
  std::string host;
  bool tls_port;
  std::string words;
  trust trusted;
  std::string report;  // empty: the mailbox opens and its letters come whole
};

class TlsOpen : public TlsDovecot, public testing::WithParamInterface<open_row> {};

TEST_P(TlsOpen, ChecksTheCertificateAndCarriesTheMail) {
  const open_row& row = GetParam();
  tls_trust_file(row.trusted == trust::server       ? server_->certificate()
                 : row.trusted == trust::unreadable ? "/nonexistent/ca.pem"
                                                    : "");
  log_capture log(answering());
  int port = row.tls_port ? server_->tls_port() : server_->port();
  mail_stream* stream = mail_open(nullptr, name(row.host, port, row.words), 0);
  EXPECT_FALSE(asked_in_clear_) << "the server offers TLS";
  if (!row.report.empty()) {
    EXPECT_EQ(stream, nullptr);
    EXPECT_THAT(log.texts(), Contains(row.report)) << testing::PrintToString(log.texts());
    return;
  }
  ASSERT_NE(stream, nullptr) << testing::PrintToString(log.texts());
  ASSERT_EQ(stream->nmsgs, 2u);
  EXPECT_EQ(mail_fetchbody(stream, 1, "1").value_or(""), "hello\r\n");
  EXPECT_EQ(mail_fetchbody(stream, 2, "1").value_or(""), kBigText + "\r\n");
  mail_close(stream);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, TlsOpen,
    testing::Values(
        open_row{"tls_from_the_first_byte", "localhost", true, "/tls", trust::server, ""},
        open_row{"starttls_when_offered", "localhost", false, "", trust::server, ""},
        open_row{"starttls_required", "localhost", false, "/starttls", trust::server, ""},
        open_row{"wrong_host_name", "127.0.0.1", true, "/tls", trust::server,
                 "Certificate of 127.0.0.1 refused: wrong host name"},
        open_row{"wrong_host_name_after_starttls", "127.0.0.1", false, "", trust::server,
                 "Certificate of 127.0.0.1 refused: wrong host name"},
        open_row{"untrusted_certificate", "localhost", true, "/tls", trust::none,
                 "Certificate of localhost refused: unknown issuer"},
        open_row{"unreadable_trust_file", "localhost", true, "/tls", trust::unreadable,
                 "Cannot read the certificates of /nonexistent/ca.pem"}),
    row_name());

// Captured on loopback: nothing of the login passes before the upgrade, and
// the password never passes in clear.
TEST_F(TlsDovecot, NoPasswordCrossesBeforeTls) {
  tls_trust_file(server_->certificate());
  fault_proxy capture(server_->port(), fault_proxy::toward_server, -1);
  log_capture log(answering());
  mail_stream* stream = mail_open(nullptr, name("localhost", capture.port()), 0);
  ASSERT_NE(stream, nullptr) << testing::PrintToString(log.texts());
  mail_close(stream);
  std::string wire = capture.client_bytes();
  std::size_t upgrade = wire.find(" STARTTLS\r\n");
  ASSERT_NE(upgrade, std::string::npos);
  EXPECT_THAT(wire.substr(0, upgrade), Not(HasSubstr("LOGIN")));
  EXPECT_THAT(wire, Not(HasSubstr("secret")));
  EXPECT_THAT(wire, Not(HasSubstr("AHRlc3RlcgBzZWNyZXQ")));  // base64 of the PLAIN response
}

struct cut_row {
  std::string name;
  fault_proxy::direction direction;
  long cut_after;
};

class TlsCut : public TlsDovecot, public testing::WithParamInterface<cut_row> {};

TEST_P(TlsCut, DuringTheHandshakeFailsCleanly) {
  tls_trust_file(server_->certificate());
  fault_proxy cutter(server_->tls_port(), GetParam().direction, GetParam().cut_after);
  log_capture log;
  std::string host = "127.0.0.1:" + std::to_string(cutter.port());
  std::unique_ptr<tcp_stream> stream = tcp_open(host, 993);
  ASSERT_NE(stream, nullptr);
  EXPECT_FALSE(tls_start(*stream, "localhost"));
  EXPECT_EQ(stream->socket, -1);
  EXPECT_FALSE(tcp_read_line(*stream));
  EXPECT_THAT(log.texts(), Contains(HasSubstr("TLS with localhost failed")));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, TlsCut,
    testing::Values(cut_row{"in_the_server_hello", fault_proxy::toward_client, 40},
                    cut_row{"after_the_client_hello", fault_proxy::toward_server, 20}),
    row_name());

class TlsTimeouts : public testing::Test {
 protected:
  void TearDown() override { tcp_parameters(SET_READ_TIMEOUT, nullptr); }
};

TEST_F(TlsTimeouts, ASilentServerEndsTheHandshakeAfterTheTimeOut) {
  server silent({server::pause(2500)});
  log_capture log;
  std::string host = "127.0.0.1:" + std::to_string(silent.port());
  std::unique_ptr<tcp_stream> stream = tcp_open(host, 993);
  ASSERT_NE(stream, nullptr);
  tcp_parameters(SET_READ_TIMEOUT, reinterpret_cast<void*>(1));
  auto began = std::chrono::steady_clock::now();
  EXPECT_FALSE(tls_start(*stream, "localhost"));
  EXPECT_LT(std::chrono::steady_clock::now() - began, std::chrono::milliseconds(2500));
  EXPECT_THAT(log.texts(), Contains("No answer from 127.0.0.1 for 1 seconds"));
}

}  // namespace
