#include "net/smtp.h"

#include <cstdlib>

#include "message/callbacks.h"
#include "message/header_write.h"
#include "message/message_output.h"
#include "message/records.h"
#include "platform/storage.h"

namespace {

constexpr long kSmtpPort = 25;
constexpr long kGreeting = 220;
constexpr long kAccepted = 250;
constexpr long kStartInput = 354;

long made_up(smtp_stream& stream, long code, const char* text) {
  stream.reply = std::to_string(code) + " " + text;
  return code;
}

bool connected(const smtp_stream& stream) {
  return stream.tcp && stream.tcp->socket >= 0;
}

long reply_code(const std::string& line) {
  return std::strtol(line.c_str(), nullptr, 10);
}

long read_reply(smtp_stream& stream) {
  std::size_t total = 0;
  for (;;) {
    std::optional<std::string> line = stream.tcp ? tcp_read_line(*stream.tcp) : std::nullopt;
    if (!line) return made_up(stream, SMTP_GONE, "SMTP connection went away!");
    total += line->size();
    if (total > kTcpLineLimit) {
      // Continuation lines without end would keep us reading for ever.
      mail_log(LOG_ERROR, "SMTP reply longer than %zu bytes", kTcpLineLimit);
      tcp_close(stream.tcp);
      return made_up(stream, SMTP_GONE, "SMTP connection went away!");
    }
    if (stream.debug) mail_callback().on_debug(*line);
    stream.reply = std::move(*line);
    if (stream.reply.size() < 4 || stream.reply[3] != '-') return reply_code(stream.reply);
  }
}

long smtp_command(smtp_stream& stream, std::string_view word, std::string_view argument = {}) {
  std::string line(word);
  if (!argument.empty()) line += " " + std::string(argument);
  if (stream.debug) mail_callback().on_debug(line);
  line += "\r\n";
  if (!stream.tcp || !tcp_send(*stream.tcp, line)) {
    return made_up(stream, SMTP_GONE, "SMTP connection went away!");
  }
  return read_reply(stream);
}

// Sends a piece of the letter with every line that begins with "." doubled.
bool send_stuffed(tcp_stream& tcp, std::string_view piece) {
  if (piece.starts_with(".") && !tcp_send(tcp, ".")) return false;
  for (std::size_t found; (found = piece.find("\r\n.")) != std::string_view::npos;) {
    if (!tcp_send(tcp, piece.substr(0, found + 3))) return false;
    piece.remove_prefix(found + 2);
  }
  return piece.empty() || tcp_send(tcp, piece);
}

std::string address_text(const mail_address* address) {
  std::string text;
  if (address) address_write(text, *address);
  return text;
}

// A line break or NUL in an address would end the command early and let the
// rest pass for commands of its own.
bool address_sendable(smtp_stream& stream, const mail_address* address) {
  std::string text = address_text(address);
  if (text.find_first_of(std::string_view("\r\n\0", 3)) == std::string::npos) return true;
  mail_log(LOG_ERROR, "Line break or NUL in the address %.80s", text.c_str());
  made_up(stream, SMTP_REFUSED, "Address with a line break or NUL refused");
  return false;
}

// Whether every address of the list with a host can be sent.
bool addresses_sendable(smtp_stream& stream, const mail_address* list) {
  for (const mail_address* address = list; address; address = address->next.get()) {
    if (address->host && !address_sendable(stream, address)) return false;
  }
  return true;
}

// RCPT for every address with a host; false when any was refused.
bool send_recipients(smtp_stream& stream, mail_address* list) {
  bool all_taken = true;
  for (mail_address* address = list; address; address = address->next.get()) {
    if (!address->host) continue;
    address->error.reset();
    if (smtp_command(stream, "RCPT", "TO:<" + address_text(address) + ">") != kAccepted) {
      address->error = stream.reply;
      all_taken = false;
    }
  }
  return all_taken;
}

// Greeting and HELO; HELO localhost for a local server that refuses our name.
bool greet(smtp_stream& stream, const std::string& host) {
  if (read_reply(stream) != kGreeting) return false;
  if (smtp_command(stream, "HELO", tcp_local_host(*stream.tcp)) == kAccepted) return true;
  std::string name = host.substr(0, host.find(':'));
  return text_lower(name) == "localhost" && smtp_command(stream, "HELO", "localhost") == kAccepted;
}

}  // namespace

std::unique_ptr<smtp_stream> smtp_open(const std::vector<std::string>& hosts, bool debug) {
  if (hosts.empty() || hosts.front().empty()) {
    mail_log(LOG_ERROR, "Missing MTP service host");
    return nullptr;
  }
  for (const std::string& host : hosts) {
    if (host.empty()) break;
    std::string target = host;
    auto stream = std::make_unique<smtp_stream>();
    stream->debug = debug;
    stream->tcp = tcp_open(target, kSmtpPort);
    if (!stream->tcp) continue;
    if (greet(*stream, host)) return stream;
    smtp_close(stream);
  }
  return nullptr;
}

bool smtp_mail(smtp_stream& stream, std::string_view command, mail_envelope& envelope,
               mail_body* body) {
  if (!envelope.to && !envelope.cc && !envelope.bcc) {
    made_up(stream, SMTP_REFUSED, "No recipients specified");
    return false;
  }
  if (!address_sendable(stream, envelope.return_path.get()) ||
      !addresses_sendable(stream, envelope.to.get()) ||
      !addresses_sendable(stream, envelope.cc.get()) ||
      !addresses_sendable(stream, envelope.bcc.get())) {
    return false;
  }
  smtp_command(stream, "RSET");
  if (smtp_command(stream, command, "FROM:<" + address_text(envelope.return_path.get()) + ">") !=
      kAccepted) {
    return false;
  }
  bool all_taken = send_recipients(stream, envelope.to.get());
  all_taken = send_recipients(stream, envelope.cc.get()) && all_taken;
  all_taken = send_recipients(stream, envelope.bcc.get()) && all_taken;
  if (!connected(stream)) {
    // Not the recipients' fault: the connection went while they were given.
    made_up(stream, SMTP_GONE, "SMTP connection went away!");
    return false;
  }
  if (!all_taken) {
    smtp_command(stream, "RSET");
    made_up(stream, SMTP_REFUSED, "One or more recipients failed");
    return false;
  }
  if (smtp_command(stream, "DATA") != kStartInput) return false;
  made_up(stream, SMTP_GONE, "SMTP connection went away!");
  tcp_stream& tcp = *stream.tcp;
  if (!message_output(envelope, body,
                      [&tcp](std::string_view piece) { return send_stuffed(tcp, piece); })) {
    return false;
  }
  return smtp_command(stream, ".") == kAccepted;
}

void smtp_close(std::unique_ptr<smtp_stream>& stream) {
  if (!stream) return;
  if (connected(*stream)) smtp_command(*stream, "QUIT");
  stream.reset();
}
