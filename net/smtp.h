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
  std::string reply;   // the last reply line, or a made-up "code text"
  bool debug = false;  // every command and reply line goes to on_debug
};

// Reply codes made up by the client.
enum : long { SMTP_GONE = 421, SMTP_REFUSED = 554 };

// A connection to the first host of the list that greets and accepts HELO
// ("host" or "host:port"; port 25 by default). Null when none does.
std::unique_ptr<smtp_stream> smtp_open(const std::vector<std::string>& hosts, bool debug);

// Sends one letter (command "MAIL"). False with the reason in the stream's
// reply; refused recipients keep the server's line in their error.
bool smtp_mail(smtp_stream& stream, std::string_view command, mail_envelope& envelope,
               mail_body* body);

// Says QUIT, closes the connection and frees the stream; null is accepted.
void smtp_close(std::unique_ptr<smtp_stream>& stream);
