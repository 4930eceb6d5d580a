#include "net/imap_protocol.h"

#include <cstdio>

#include "mail/stream.h"
#include "message/callbacks.h"
#include "message/text_source.h"
#include "net/imap_data.h"
#include "platform/storage.h"

namespace {

// A string argument holding none of these goes as an atom.
constexpr std::string_view kAtomSpecials = " ()[]{}%*\"\\";

// Bytes that no command line may hold outside a literal.
constexpr std::string_view kLineBreaks("\r\n\0", 3);

enum class string_form { atom, quoted, literal };

// An atom when nothing in it is special, a literal when it holds a line
// break or 8-bit bytes (a GB or Big5 name), else a quoted string.
string_form form_of(std::string_view text) {
  // An empty atom would vanish from the line and shift the arguments.
  if (text.empty()) return string_form::quoted;
  string_form form = string_form::atom;
  for (char c : text) {
    auto byte = static_cast<unsigned char>(c);
    if (c == '\r' || c == '\n' || byte >= 0x80) return string_form::literal;
    if (byte < 0x20 || byte == 0x7f || kAtomSpecials.find(c) != std::string_view::npos) {
      form = string_form::quoted;
    }
  }
  return form;
}

// The first literal of a text holding "{n}\r\n" literals: where its count
// line ends, where its bytes begin and how many there are.
struct literal_mark {
  std::size_t end = std::string_view::npos;  // of the piece up to and with "}"
  unsigned long count = 0;
  bool good = false;
};

literal_mark next_literal(std::string_view text) {
  literal_mark mark;
  std::size_t end = text.find("}\r\n");
  if (end == std::string_view::npos) return mark;
  mark.end = end + 1;
  std::string_view piece = text.substr(0, end + 1);
  std::size_t open = piece.rfind('{');
  std::string_view digits =
      open == std::string_view::npos ? "" : piece.substr(open + 1, piece.size() - open - 2);
  mark.good = !digits.empty() && digits.size() < 10;
  for (char c : digits) {
    mark.good = mark.good && c >= '0' && c <= '9';
    mark.count = mark.count * 10 + static_cast<unsigned long>(c - '0');
  }
  // The count must be there in full: a short literal leaves both sides waiting.
  mark.good = mark.good && mark.count > 0 && mark.count <= text.size() - end - 3;
  return mark;
}

// Why an argument cannot be sent, or nothing when it can. Checked for every
// argument before the first byte of the command goes out.
std::optional<std::string> argument_fault(std::string_view command, const imap_argument& argument) {
  std::string word(command);
  std::string_view text = argument.text;
  switch (argument.what) {
    case imap_argument::string:
      if (text.find('\0') == std::string_view::npos) return std::nullopt;
      return mail_format("NUL in an argument of %.80s", word.c_str());
    case imap_argument::literal_text:
      for (literal_mark mark; (mark = next_literal(text)).end != std::string_view::npos;) {
        if (!mark.good) return mail_format("Bad literal in an argument of %.80s", word.c_str());
        if (text.substr(0, mark.end).find_first_of(kLineBreaks) != std::string_view::npos ||
            text.substr(mark.end + 2, mark.count).find('\0') != std::string_view::npos) {
          break;
        }
        text.remove_prefix(mark.end + 2 + mark.count);
      }
      [[fallthrough]];
    case imap_argument::plain:
    case imap_argument::list:
    case imap_argument::continued:
      if (text.find_first_of(kLineBreaks) == std::string_view::npos) return std::nullopt;
      return mail_format("Line break or NUL in an argument of %.80s", word.c_str());
  }
  return std::nullopt;
}

// A command refused before anything was sent: reported, and answered with a
// made-up untagged NO that leaves the connection and the tags as they were.
const imap_response& refuse(mail_stream* stream, const std::string& why) {
  mail_log(LOG_ERROR, "%s", why.c_str());
  imap_parse_reply(stream, "* NO " + why);
  return imap_local_of(stream)->reply;
}

// The reply to a command on a stream that has no IMAP data: closed, or the
// driver's prototype.
const imap_response& no_connection() {
  static const imap_response closed{"* NO [CLOSED] No-op dead stream", "*", "NO",
                                    "[CLOSED] No-op dead stream"};
  mail_log(LOG_ERROR, "IMAP stream is not open");
  return closed;
}

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

// Appends a text holding "{n}\r\n" literals (checked by argument_fault):
// each literal's count line is sent, a continuation awaited, and its bytes
// begin the next line.
const imap_response* append_literal_text(mail_stream* stream, imap_local& local,
                                         const std::string& tag, command_line& line,
                                         std::string_view text) {
  line.append(" ");
  for (literal_mark mark; (mark = next_literal(text)).end != std::string_view::npos;) {
    line.append(text.substr(0, mark.end));
    text.remove_prefix(mark.end + 2);
    if (const imap_response* ended = send_and_await_continuation(stream, local, tag, line)) {
      return ended;
    }
    line.append(text.substr(0, mark.count));
    text.remove_prefix(mark.count);
  }
  line.append(text);
  return nullptr;
}

const imap_response* append_string(mail_stream* stream, imap_local& local, const std::string& tag,
                                   command_line& line, const imap_argument& argument) {
  std::string_view text = argument.text;
  string_form form = form_of(text);
  if (form == string_form::atom) {
    line.append(" ");
    line.append(text, argument.secret);
    return nullptr;
  }
  if (form == string_form::quoted) {
    std::string quoted;
    for (char c : text) {
      if (c == '"' || c == '\\') quoted += '\\';
      quoted += c;
    }
    line.append(" \"");
    line.append(quoted, argument.secret);
    line.append("\"");
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
      case imap_argument::continued:
        ended = send_and_await_continuation(stream, local, tag, line);
        if (!ended) line.append(argument.text, argument.secret);
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
  if (!imap_local_of(stream)) return no_connection();
  imap_local& local = *imap_local_of(stream);
  if (!local.tcp) return imap_fake_reply(stream, "*", "No-op dead stream");
  for (const imap_argument& argument : arguments) {
    if (std::optional<std::string> fault = argument_fault(command, argument)) {
      return refuse(stream, *fault);
    }
  }
  mail_lock_stream(stream);
  char tag[16];
  std::snprintf(tag, sizeof tag, "A%05lu", static_cast<unsigned long>(stream->tag_counter++));
  const imap_response& reply = send_command(stream, local, tag, command, arguments, message);
  mail_unlock_stream(stream);
  return reply;
}

std::size_t imap_send_pipelined(mail_stream* stream, std::string_view command,
                                const std::vector<std::string>& arguments) {
  imap_local* local = imap_local_of(stream);
  if (!local || !local->tcp) return 0;
  for (const std::string& argument : arguments) {
    if (std::optional<std::string> fault =
            argument_fault(command, {imap_argument::plain, argument})) {
      refuse(stream, *fault);
      return 0;
    }
  }
  mail_lock_stream(stream);
  std::vector<std::string> tags;
  std::string wire;
  for (const std::string& argument : arguments) {
    char tag[16];
    std::snprintf(tag, sizeof tag, "A%05lu", static_cast<unsigned long>(stream->tag_counter++));
    tags.emplace_back(tag);
    std::string line = tags.back() + " " + std::string(command) + " " + argument;
    trace(stream, line);
    wire += line + "\r\n";
  }
  std::size_t succeeded = 0;
  if (!tcp_send(*local->tcp, wire)) {
    imap_fake_reply(stream, tags.front(), "IMAP connection broken (command)");
  } else {
    for (const std::string& tag : tags)
      if (imap_ok(stream, imap_reply(stream, tag))) ++succeeded;
  }
  mail_unlock_stream(stream);
  return succeeded;
}

const imap_response& imap_reply(mail_stream* stream, std::string_view tag) {
  if (!imap_local_of(stream)) return no_connection();
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

void imap_protocol_error(mail_stream* stream, const std::string& text) {
  mail_log(LOG_ERROR, "%s", text.c_str());
  if (imap_local* local = imap_local_of(stream)) tcp_close(local->tcp);
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
