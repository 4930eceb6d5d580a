#pragma once

#include <string>
#include <string_view>
#include <vector>

// A Dovecot IMAP server of the test's own: a fresh directory, a free port on
// loopback, users from a password list. Started by the constructor, stopped
// and removed by the destructor. Needs root (Dovecot drops to its own users).
class dovecot_server {
 public:
  struct user {
    std::string name;
    std::string password;
  };
  explicit dovecot_server(std::vector<user> users = {{"tester", "secret"}});
  ~dovecot_server();
  dovecot_server(const dovecot_server&) = delete;
  dovecot_server& operator=(const dovecot_server&) = delete;

  // False when the server could not be started; reason() says why.
  bool running() const { return running_; }
  const std::string& reason() const { return reason_; }
  int port() const { return port_; }
  // "{127.0.0.1:port}mailbox"
  std::string mailbox_name(std::string_view mailbox = "INBOX") const;

  // Puts a letter straight into a user's maildir inbox (line ends made CR LF),
  // as delivered mail; returns the bytes stored.
  std::string deliver(const std::string& user, std::string_view letter);

 private:
  std::string directory_;
  int port_ = 0;
  bool running_ = false;
  std::string reason_;
  int delivered_ = 0;
};

// Line ends made CR LF: bare LF and bare CR become CR LF.
std::string crlf_text(std::string_view text);
