#pragma once

#include <cstdint>
#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "message/records.h"
#include "model/aletter.h"

struct smtp_account;

// A letter written by the user, made ready to send: the composer and
// `kestrel-mail send` both build their letters here.

// The settings sending reads.
struct compose_settings {
  std::string real_name;       // RealName
  std::string return_address;  // ReturnAddress
  std::string imap_account;    // IMAPAccount: user name, "@", host
  std::string smtp_server;     // SMTPServer
  std::string charset_label;   // ComposeCC; empty means "US-ASCII"
  long transfer_mode = 0;      // NetLink: 1 allows 8-bit transfer
};

// The composer's fields as the user typed them (UTF-8; lines ended by a line
// feed, a carriage return or both).
struct compose_form {
  std::string subject;
  std::string from;
  std::string to;
  std::string cc;
  std::string bcc;
  std::string body;
  std::vector<std::string> attachments;  // full paths, in list order
};

// An embedded picture or sound as its item gives it.
struct compose_item {
  std::uint16_t type = 0;
  std::string subtype;
  std::optional<std::string> data;  // nothing when the item could not give it
};

// A letter built from a form: the copy kept in Out, whose body is the built
// body, and the envelope and body that go to the server.
struct outgoing_letter {
  std::unique_ptr<CAletter> out_copy;
  std::unique_ptr<mail_envelope> envelope;
  std::unique_ptr<mail_body> body;
  // Messages for the user that do not stop the letter ("内存不够.").
  std::vector<std::string> warnings;
};

// What keeps a form from becoming a letter, for the user; empty when nothing
// does: characters the label's charset cannot hold, an address with more
// than ASCII, an attached file that cannot be read.
struct compose_problem {
  std::string message;
  explicit operator bool() const { return !message.empty(); }
};

// The label outgoing text parts carry: the setting, or "US-ASCII" without one.
std::string outgoing_label(const compose_settings& settings);

// The letter of a form, made at the time given; nothing, with the problem,
// when it cannot be made.
std::optional<outgoing_letter> outgoing_letter_build(const compose_form& form,
                                                     const compose_settings& settings,
                                                     const std::vector<compose_item>& items,
                                                     std::time_t now, compose_problem& problem);

// The letter's text as it goes to the server after the envelope lines.
std::string outgoing_letter_text(outgoing_letter& letter);

// How sending ended, and the words the user is shown for it.
enum class send_outcome { sent, refused, no_host };
struct send_result {
  send_outcome outcome = send_outcome::no_host;
  // The server's last reply; when no host took the letter, the last host's
  // reason (a refused login, a failed TLS), or empty when none answered.
  std::string reply;
  // The library's warnings and errors while sending, where the caller kept
  // them (the causes of a failed TLS).
  std::vector<std::string> reports;
};
inline constexpr const char* kSentText = " 发信成功! ";
inline constexpr const char* kNotSentText = " 发信失败 ";
inline constexpr const char* kNoHostText = " 不能连接主机 ";
const char* send_result_text(send_outcome outcome);
// What the user is told: the outcome's text, and under it, when the letter
// did not go, the reply, and when no host took it, the reports.
std::string send_result_message(const send_result& result);

// The servers the composer tries, in order: the SMTP server, then "localhost".
std::vector<std::string> compose_hosts(const compose_settings& settings);

// Sends the letter to the first of the hosts that answers, logging in as
// the account where the server asks (without one, as on_login says then). A
// host that answered but would not take the letter counts as a refusal
// unless the connection was lost.
send_result outgoing_letter_send(outgoing_letter& letter, const std::vector<std::string>& hosts,
                                 bool debug = false, const smtp_account* account = nullptr);

// Lines ended by a line feed, a carriage return or both, ended by CR LF.
std::string crlf_lines(std::string_view text);
