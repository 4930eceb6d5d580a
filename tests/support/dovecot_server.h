#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "tests/support/scratch_folder.h"

// A Dovecot IMAP server of the test's own: a fresh directory, a free port on
// loopback, users from a password list. Started by the constructor, stopped
// and removed by the destructor. Needs root (Dovecot drops to its own users).
class dovecot_server {
 public:
  struct user {
    std::string name;
    std::string password;
  };
  // Where Dovecot keeps the mail: a maildir per user, or mbox files (the
  // inbox of a user is then the file inbox_file(user)).
  enum class storage { maildir, mbox };
  // With TLS the server holds a certificate of the test's own for
  // "localhost" (not for 127.0.0.1), listens for IMAP over TLS on tls_port()
  // too, and takes no login on the plain port before STARTTLS.
  enum class security { plain, tls };
  explicit dovecot_server(std::vector<user> users = {{"tester", "secret"}},
                          storage kind = storage::maildir, security mode = security::plain);
  ~dovecot_server();
  dovecot_server(const dovecot_server&) = delete;
  dovecot_server& operator=(const dovecot_server&) = delete;

  // False when the server could not be started; reason() says why.
  bool running() const { return running_; }
  const std::string& reason() const { return reason_; }
  int port() const { return port_; }
  int tls_port() const { return tls_port_; }
  // The certificate the server shows (PEM), to be trusted by the client.
  std::string certificate() const;
  // "{127.0.0.1:port}mailbox"
  std::string mailbox_name(std::string_view mailbox = "INBOX") const;

  // Puts a letter straight into a user's maildir inbox (line ends made CR LF),
  // as delivered mail; returns the bytes stored.
  std::string deliver(const std::string& user, std::string_view letter);

  // How many letters a user's maildir inbox holds.
  std::size_t inbox_count(const std::string& user) const;

  // The mbox file of a user's inbox (mbox storage).
  std::string inbox_file(const std::string& user) const;

 private:
  scratch_folder folder_;
  int port_ = 0;
  int tls_port_ = 0;
  bool running_ = false;
  std::string reason_;
  int delivered_ = 0;
};

// Line ends made CR LF: bare LF and bare CR become CR LF.
std::string crlf_text(std::string_view text);
