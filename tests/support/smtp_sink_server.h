#pragma once

#include <string>
#include <vector>

#include "tests/support/scratch_folder.h"

// aiosmtpd on a free loopback port with the sink handler of the fixtures:
// it keeps every letter and refuses the recipients given. Started by the
// constructor, stopped by the destructor.
class smtp_sink_server {
 public:
  struct letter {
    std::string content;  // as received, dots unstuffed
    std::string sender;
    std::vector<std::string> recipients;
  };
  explicit smtp_sink_server(const std::vector<std::string>& refused = {});
  // With security: a certificate of the test's own for "localhost" (not for
  // 127.0.0.1), STARTTLS required (or TLS from the first byte), and a login
  // required, taken only under TLS.
  struct security {
    bool implicit_tls = false;
    std::string user = "tester";
    std::string password = "secret";
    bool expired = false;  // the certificate ended a day ago
  };
  explicit smtp_sink_server(const security& secured);
  ~smtp_sink_server();
  smtp_sink_server(const smtp_sink_server&) = delete;
  smtp_sink_server& operator=(const smtp_sink_server&) = delete;

  bool running() const { return running_; }
  const std::string& reason() const { return reason_; }
  int port() const { return port_; }
  std::string host() const { return "127.0.0.1:" + std::to_string(port_); }
  std::vector<letter> letters() const;
  // The certificate the server shows (PEM), to be trusted by the client.
  std::string certificate() const;
  // One line per login tried: "tls=yes|no user=NAME ok=yes|no".
  std::vector<std::string> logins() const;

 private:
  void start(const std::vector<std::string>& arguments);

  scratch_folder folder_;
  int port_ = 0;
  int pid_ = -1;
  bool running_ = false;
  std::string reason_;
};
