#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "mail/open_close.h"
#include "mail/parameters.h"
#include "mail/stream.h"
#include "net/imap_driver.h"
#include "tests/support/dovecot_server.h"
#include "tests/support/log_capture.h"

// A Dovecot of the test's own with the IMAP driver linked. Logins give user
// "tester" the password "secret" after `wrong_passwords_` wrong ones; the
// debug trace and the reports are kept.
class Dovecot : public testing::Test {
 protected:
  void SetUp() override {
    server_ = std::make_unique<dovecot_server>(
        std::vector<dovecot_server::user>{{"tester", "secret"}}, storage_);
    if (!server_->running()) GTEST_SKIP() << server_->reason();
    mail_link_driver(&imap_driver);
    mail_callbacks callbacks;
    callbacks.on_login = [this](std::string_view, std::string& user, std::string& password,
                                long trial) {
      ++trials_;
      user = "tester";
      password = trial <= wrong_passwords_ ? "wrong" : "secret";
    };
    callbacks.on_debug = [this](std::string_view line) { trace_.emplace_back(line); };
    log_ = std::make_unique<log_capture>(std::move(callbacks));
  }

  mail_stream* open(long options = 0, const std::string& mailbox = "INBOX") {
    mail_stream* stream = mail_open(nullptr, server_->mailbox_name(mailbox), options);
    EXPECT_NE(stream, nullptr) << testing::PrintToString(log_->texts());
    return stream;
  }

  dovecot_server::storage storage_ = dovecot_server::storage::maildir;
  std::unique_ptr<dovecot_server> server_;
  std::unique_ptr<log_capture> log_;
  std::vector<std::string> trace_;
  int trials_ = 0;
  int wrong_passwords_ = 0;
};
