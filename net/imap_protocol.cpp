#include "net/imap_protocol.h"

#include <cstdio>

#include "mail/stream.h"
#include "message/callbacks.h"
#include "message/text_source.h"
#include "net/imap_data.h"
#include "platform/storage.h"

namespace {

// Characters that make a string argument go as a literal.
constexpr std::string_view kLiteralCharacters = "\n\r\"%{\\";

bool tracing(mail_stream* stream) {
  return stream->debug;
}

void trace(mail_stream* stream, std::string_view line) {
  if (tracing(stream)) mail_callback().on_debug(line);
}

// A command line under construction: what goes on the wire and what the trace shows.
struct command_line {
  std::string wire;
  std::string shown;
  void append(std::string_view text, bool secret = false) {
    wire += text;
    shown += secret ? std::string(text.size(), '*') : std::string(text);
  }
};

// Sends the line so far with CR LF and waits for the continuation. Null when
// the command goes on; otherwise the reply that ends it.
const imap_response* send_and_await_continuation(mail_stream* stream, imap_local& local,
                                                 const std::string& tag, command_line& line) {
  trace(stream, line.shown);
  line.wire += "\r\n";
  if (!local.tcp || !tcp_send(*local.tcp, line.wire)) {
    return &imap_fake_reply(stream, tag, "IMAP connection broken (command)");
  }
  line = command_line();
  const imap_response& reply = imap_reply(stream, tag);
  return reply.tag == "+" ? nullptr : &reply;
}

// Sends the bytes of a text source from its position as they are.
bool send_source(imap_local& local, text_source& message) {
  std::string chunk;
  chunk.reserve(16384);
  while (text_remaining(message)) {
    chunk.clear();
    while (chunk.size() < 16384 && text_remaining(message))
      chunk += text_next(message);
    if (!local.tcp || !tcp_send(*local.tcp, chunk)) return false;
  }
  return true;
}

// Appends a text holding "{n}\r\n" literals: each literal's count line is
// sent, a continuation awaited, and its bytes begin the next line.
const imap_response* append_literal_text(mail_stream* stream, imap_local& local,
                                         const std::string& tag, command_line& line,
                                         std::string_view text) {
  line.append(" ");
  for (std::size_t end; (end = text.find("}\r\n")) != std::string_view::npos;) {
    std::string_view piece = text.substr(0, end + 1);
    std::size_t open = piece.rfind('{');
    std::string_view digits =
        open == std::string_view::npos ? "" : piece.substr(open + 1, piece.size() - open - 2);
    unsigned long count = 0;
    bool good = !digits.empty() && digits.size() < 10;
    for (char c : digits) {
      good = good && c >= '0' && c <= '9';
      count = count * 10 + static_cast<unsigned long>(c - '0');
    }
    if (!good || count == 0) return &imap_fake_reply(stream, tag, "Program bug: bad literal");
    line.append(piece);
    text.remove_prefix(end + 3);
    if (const imap_response* ended = send_and_await_continuation(stream, local, tag, line)) {
      return ended;
    }
    std::string_view bytes = text.substr(0, count);
    line.append(bytes);
    text.remove_prefix(bytes.size());
  }
  line.append(text);
  return nullptr;
}

const imap_response* append_string(mail_stream* stream, imap_local& local, const std::string& tag,
                                   command_line& line, const imap_argument& argument) {
  std::string_view text = argument.text;
  if (text.find_first_of(kLiteralCharacters) == std::string_view::npos) {
    // An empty string would vanish from the line and shift the arguments.
    bool quoted = text.empty() || text.find(' ') != std::string_view::npos;
    line.append(quoted ? " \"" : " ");
    line.append(text, argument.secret);
    if (quoted) line.append("\"");
    return nullptr;
  }
  line.append(" {" + std::to_string(text.size()) + "}");
  if (const imap_response* ended = send_and_await_continuation(stream, local, tag, line)) {
    return ended;
  }
  line.append(text, argument.secret);
  return nullptr;
}

const imap_response& send_command(mail_stream* stream, imap_local& local, const std::string& tag,
                                  std::string_view command,
                                  const std::vector<imap_argument>& arguments,
                                  text_source* message) {
  command_line line;
  line.append(tag + " " + std::string(command));
  for (const imap_argument& argument : arguments) {
    const imap_response* ended = nullptr;
    switch (argument.what) {
      case imap_argument::string:
        ended = append_string(stream, local, tag, line, argument);
        break;
      case imap_argument::literal_text:
        ended = append_literal_text(stream, local, tag, line, argument.text);
        break;
      case imap_argument::plain:
        line.append(" ");
        line.append(argument.text, argument.secret);
        break;
      case imap_argument::list:
        line.append(argument.text.starts_with("(") ? " " : " (");
        line.append(argument.text, argument.secret);
        if (!argument.text.starts_with("(")) line.append(")");
        break;
    }
    if (ended) return *ended;
  }
  if (message) {
    line.append(" {" + std::to_string(text_remaining(*message)) + "}");
    if (const imap_response* ended = send_and_await_continuation(stream, local, tag, line)) {
      return *ended;
    }
    if (!send_source(local, *message)) {
      return imap_fake_reply(stream, tag, "IMAP connection broken (command data)");
    }
  }
  trace(stream, line.shown);
  line.wire += "\r\n";
  if (!local.tcp || !tcp_send(*local.tcp, line.wire)) {
    return imap_fake_reply(stream, tag, "IMAP connection broken (command)");
  }
  return imap_reply(stream, tag);
}

}  // namespace

const imap_response& imap_send(mail_stream* stream, std::string_view command,
                               const std::vector<imap_argument>& arguments, text_source* message) {
  imap_local& local = *imap_local_of(stream);
  if (!local.tcp) return imap_fake_reply(stream, "*", "No-op dead stream");
  mail_lock_stream(stream);
  char tag[16];
  std::snprintf(tag, sizeof tag, "A%05lu", static_cast<unsigned long>(stream->tag_counter++));
  const imap_response& reply = send_command(stream, local, tag, command, arguments, message);
  mail_unlock_stream(stream);
  return reply;
}

const imap_response& imap_reply(mail_stream* stream, std::string_view tag) {
  imap_local& local = *imap_local_of(stream);
  while (local.tcp) {
    std::optional<std::string> line = tcp_read_line(*local.tcp);
    if (line) trace(stream, *line);
    const imap_response* reply = imap_parse_reply(stream, std::move(line));
    if (!reply) continue;
    if (reply->tag == "+") return *reply;
    if (reply->tag == "*") {
      imap_unsolicited(stream, *reply);
      if (tag.empty()) return local.reply;
      continue;
    }
    if (tag.empty() || reply->tag == tag) return *reply;
    mail_log(LOG_ERROR, "Unexpected tagged response: %.80s %.80s %.80s", reply->tag.c_str(),
             reply->key.c_str(), reply->text.c_str());
  }
  return imap_fake_reply(stream, tag.empty() ? "*" : tag,
                         "IMAP connection broken (server response)");
}

const imap_response* imap_parse_reply(mail_stream* stream, std::optional<std::string> line) {
  imap_local& local = *imap_local_of(stream);
  local.reply = imap_response();
  if (!line) {
    tcp_close(local.tcp);
    return nullptr;
  }
  if (line->empty()) {
    mail_log(LOG_ERROR, "IMAP server sent a blank line");
    return nullptr;
  }
  imap_response& reply = local.reply;
  reply.line = std::move(*line);
  std::string_view rest = reply.line;
  std::size_t blank = rest.find(' ');
  reply.tag = rest.substr(0, blank);
  rest = blank == std::string_view::npos ? std::string_view() : rest.substr(blank + 1);
  if (reply.tag == "+") {
    reply.key = "BAD";
    reply.text = rest.empty() ? "Ready for more command" : std::string(rest);
    return &reply;
  }
  blank = rest.find(' ');
  reply.key = rest.substr(0, blank);
  if (reply.key.empty()) {
    mail_log(LOG_ERROR, "Missing IMAP reply key: %.80s", reply.tag.c_str());
    return nullptr;
  }
  text_upper(reply.key);
  reply.text = blank == std::string_view::npos ? "" : rest.substr(blank + 1);
  return &reply;
}

const imap_response& imap_fake_reply(mail_stream* stream, std::string_view tag,
                                     std::string_view text) {
  imap_local& local = *imap_local_of(stream);
  mail_callback().on_notify(stream, text, LOG_FAREWELL);
  tcp_close(local.tcp);
  imap_parse_reply(stream, std::string(tag) + " NO [CLOSED] " + std::string(text));
  return local.reply;
}

bool imap_ok(mail_stream*, const imap_response& reply) {
  if (reply.key == "OK") return true;
  if (reply.tag == "*" && reply.key == "PREAUTH") return true;
  if (reply.key == "NO") return false;
  if (reply.key == "BAD") {
    mail_log(LOG_ERROR, "IMAP error: %.80s", reply.text.c_str());
  } else {
    mail_log(LOG_ERROR, "Unexpected IMAP response: %.80s %.80s", reply.key.c_str(),
             reply.text.c_str());
  }
  return false;
}
