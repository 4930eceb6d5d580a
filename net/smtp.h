#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "net/tcp.h"

struct mail_envelope;
struct mail_body;

// One connection to an SMTP server.
struct smtp_stream {
  std::unique_ptr<tcp_stream> tcp;
  std::string reply;                    // the last reply line, or a made-up "code text"
  bool debug = false;                   // every command and reply line goes to on_debug
  std::vector<std::string> extensions;  // the EHLO reply's lines after the first, upper case
};

// Whom to log in as, where the server asks for it.
struct smtp_account {
  std::string user;
  std::string password;
};

// Reply codes made up by the client.
enum : long { SMTP_GONE = 421, SMTP_REFUSED = 554 };

// A connection to the first host of the list that greets and accepts EHLO or
// HELO: "host" or "host:port" (port 25 by default), and "/tls" for TLS from
// the first byte (always on port 465) or "/starttls" to require the upgrade,
// which is made whenever the server offers it. A server that offers AUTH
// gets the account (PLAIN, else LOGIN): the one given, or without one the one
// on_login names then; an empty user name means no login. A password goes
// in clear only when the server offers no TLS and on_plain_login agrees. Null when no host
// would do; `failure`, when given, then holds the last reply: the server's
// words, or a made-up line.
std::unique_ptr<smtp_stream> smtp_open(const std::vector<std::string>& hosts, bool debug,
                                       const smtp_account* account = nullptr,
                                       std::string* failure = nullptr);

// Sends one letter (command "MAIL"). False with the reason in the stream's
// reply; refused recipients keep the server's line in their error.
bool smtp_mail(smtp_stream& stream, std::string_view command, mail_envelope& envelope,
               mail_body* body);

// Says QUIT, closes the connection and frees the stream; null is accepted.
void smtp_close(std::unique_ptr<smtp_stream>& stream);
