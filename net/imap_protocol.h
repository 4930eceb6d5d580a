#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "net/imap_local.h"

struct text_source;

// One argument of a command, appended after the command word in order.
struct imap_argument {
  enum kind {
    string,        // an atom, a quoted string, or a literal when it must be
    literal_text,  // a text that already holds "{n}\r\n" literals
    plain,         // written as it is
    list,          // written in parentheses unless it already begins with "("
    continued,     // a line of its own after the server's continuation (SASL)
  } what;
  std::string_view text;
  bool secret = false;  // shown as asterisks in the protocol trace
};

// Sends one tagged command and returns its reply: the tagged one, a
// continuation that was not accepted, or a made-up NO [CLOSED] reply when the
// connection is gone. The reply lives in the stream's data until the next one.
const imap_response& imap_send(mail_stream* stream, std::string_view command,
                               const std::vector<imap_argument>& arguments = {},
                               text_source* message = nullptr);

// Sends commands of plain arguments one after another without waiting for
// their replies, then reads the replies in order; how many succeeded. A
// connection that breaks fails the rest.
std::size_t imap_send_pipelined(mail_stream* stream, std::string_view command,
                                const std::vector<std::string>& arguments);

// Reads responses until the one tagged `tag` (any, when tag is empty),
// handling untagged data on the way; a continuation returns at once.
const imap_response& imap_reply(mail_stream* stream, std::string_view tag);

// Splits a line into tag, key and text; null for a missing line (the
// connection is then closed), a blank line or a missing key.
const imap_response* imap_parse_reply(mail_stream* stream, std::optional<std::string> line);

// The reply standing for a lost connection: the text goes to on_notify as a
// farewell, the connection is closed, and "<tag> NO [CLOSED] <text>" is parsed.
const imap_response& imap_fake_reply(mail_stream* stream, std::string_view tag,
                                     std::string_view text);

// The server broke the protocol or passed a limit: the text is reported at the
// error level and the connection closed, so the operation under way fails.
void imap_protocol_error(mail_stream* stream, const std::string& text);

// Whether the reply means success; BAD and unknown keys are reported.
bool imap_ok(mail_stream* stream, const imap_response& reply);
