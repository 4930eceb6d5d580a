#include "net/smtp.h"

#include <algorithm>
#include <cstdlib>
#include <optional>

#include "message/callbacks.h"
#include "message/header_write.h"
#include "message/message_output.h"
#include "message/records.h"
#include "net/sasl.h"
#include "net/tls.h"
#include "platform/storage.h"

namespace {

constexpr long kSmtpPort = 25;
constexpr long kSmtpsPort = 465;
constexpr long kGreeting = 220;  // also: go ahead with TLS
constexpr long kAccepted = 250;
constexpr long kLoggedIn = 235;
constexpr long kGoOn = 334;
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

// Reads a reply; its lines go to `lines` when given.
long read_reply(smtp_stream& stream, std::vector<std::string>* lines = nullptr) {
  std::size_t total = 0;
  for (;;) {
    std::optional<std::string> line = stream.tcp ? tcp_read_line(*stream.tcp) : std::nullopt;
    // A line the connection's loss cut short is no reply: "2" is not "250".
    if (!line || !connected(stream))
      return made_up(stream, SMTP_GONE, "SMTP connection went away!");
    total += line->size();
    if (total > kTcpLineLimit) {
      // Continuation lines without end would keep us reading for ever.
      mail_log(LOG_ERROR, "SMTP reply longer than %zu bytes", kTcpLineLimit);
      tcp_close(stream.tcp);
      return made_up(stream, SMTP_GONE, "SMTP connection went away!");
    }
    if (stream.debug) mail_callback().on_debug(*line);
    if (lines) lines->push_back(*line);
    stream.reply = std::move(*line);
    if (stream.reply.size() < 4 || stream.reply[3] != '-') return reply_code(stream.reply);
  }
}

// A command line (the word, and the argument when there is one); in the
// trace a secret shows as asterisks: the argument, or the line when it has
// none (a SASL response).
struct smtp_line {
  std::string_view word;
  std::string_view argument = {};
  bool secret = false;
};

long smtp_command(smtp_stream& stream, const smtp_line& command,
                  std::vector<std::string>* lines = nullptr) {
  std::string line(command.word);
  if (!command.argument.empty()) line += " " + std::string(command.argument);
  if (stream.debug) {
    std::string shown = command.argument.empty() ? "****" : std::string(command.word) + " ****";
    mail_callback().on_debug(command.secret ? shown : line);
  }
  line += "\r\n";
  if (!stream.tcp || !tcp_send(*stream.tcp, line)) {
    return made_up(stream, SMTP_GONE, "SMTP connection went away!");
  }
  return read_reply(stream, lines);
}

long smtp_command(smtp_stream& stream, std::string_view word, std::string_view argument = {}) {
  return smtp_command(stream, smtp_line{word, argument});
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

// EHLO; its reply's lines after the first name the extensions.
bool extended_hello(smtp_stream& stream) {
  std::vector<std::string> lines;
  if (smtp_command(stream, {"EHLO", tcp_local_host(*stream.tcp)}, &lines) != kAccepted) {
    return false;
  }
  stream.extensions.clear();
  for (std::size_t i = 1; i < lines.size(); ++i) {
    std::string extension = lines[i].substr(std::min<std::size_t>(4, lines[i].size()));
    stream.extensions.push_back(text_upper(extension));
  }
  return true;
}

// EHLO, else HELO; HELO localhost for a local server that refuses our name.
bool hello(smtp_stream& stream, const std::string& name) {
  if (extended_hello(stream)) return true;
  stream.extensions.clear();
  if (smtp_command(stream, "HELO", tcp_local_host(*stream.tcp)) == kAccepted) return true;
  std::string lowered = name;
  return text_lower(lowered) == "localhost" &&
         smtp_command(stream, "HELO", "localhost") == kAccepted;
}

// The words of an extension the server named (its keyword first); empty when
// it named none such. "AUTH=" is the form of older servers.
std::vector<std::string> extension(const smtp_stream& stream, std::string_view keyword) {
  for (const std::string& line : stream.extensions) {
    std::vector<std::string> words;
    std::size_t start = 0;
    while (start <= line.size()) {
      std::size_t end = line.find_first_of(" =", start);
      if (end == std::string::npos) end = line.size();
      if (end > start) words.push_back(line.substr(start, end - start));
      start = end + 1;
    }
    if (!words.empty() && words.front() == keyword) return words;
  }
  return {};
}

bool offers(const std::vector<std::string>& words, std::string_view word) {
  return std::find(words.begin(), words.end(), word) != words.end();
}

// The host entry split: the name, the port, and the words after "/".
struct smtp_host {
  std::string target;  // "host" or "host:port", for tcp_open
  std::string name;
  long port = kSmtpPort;
  bool tls = false;
  bool starttls = false;
};

std::optional<smtp_host> host_entry(const std::string& entry) {
  smtp_host host;
  std::size_t slash = entry.find('/');
  host.target = entry.substr(0, slash);
  host.name = host.target.substr(0, host.target.find(':'));
  if (std::size_t colon = host.target.find(':'); colon != std::string::npos) {
    host.port = std::strtol(host.target.c_str() + colon + 1, nullptr, 10);
  }
  std::string options = slash == std::string::npos ? "" : entry.substr(slash + 1);
  text_lower(options);
  for (std::size_t start = 0; start < options.size();) {
    std::size_t end = std::min(options.find('/', start), options.size());
    std::string word = options.substr(start, end - start);
    if (word == "tls") {
      host.tls = true;
    } else if (word == "starttls") {
      host.starttls = true;
    } else {
      mail_log(LOG_ERROR, "Unknown word in the SMTP server %.80s: %.80s", entry.c_str(),
               word.c_str());
      return std::nullopt;
    }
    start = end + 1;
  }
  host.tls = host.tls || host.port == kSmtpsPort;
  return host;
}

// TLS on the connection; false with a made-up reply when it fails (the
// cause is reported).
bool start_tls(smtp_stream& stream, const smtp_host& host) {
  if (tls_start(*stream.tcp, host.name)) return true;
  made_up(stream, SMTP_GONE, "TLS with the server failed");
  return false;
}

// STARTTLS when the server offers it, then EHLO anew; false when it fails or
// when it was required and is not offered.
bool upgrade(smtp_stream& stream, const smtp_host& host) {
  if (extension(stream, "STARTTLS").empty()) {
    if (!host.starttls) return true;
    made_up(stream, SMTP_REFUSED, "The server offers no STARTTLS");
    return false;
  }
  if (smtp_command(stream, "STARTTLS") != kGreeting) return false;
  return start_tls(stream, host) && extended_hello(stream);
}

// AUTH when the server offers it: PLAIN, else LOGIN, as the account given
// or else the one on_login names. No user name: no login.
bool authenticate(smtp_stream& stream, const smtp_host& host, const smtp_account* given) {
  std::vector<std::string> methods = extension(stream, "AUTH");
  if (methods.empty()) return true;
  smtp_account account;
  if (given) {
    account = *given;
  } else {
    mail_callback().on_login(host.name, account.user, account.password, 1);
  }
  if (account.user.empty()) return true;
  if (!stream.tcp->tls && !mail_callback().on_plain_login(host.name)) {
    made_up(stream, SMTP_REFUSED, "Login in clear refused: the server offers no TLS");
    return false;
  }
  if (offers(methods, "PLAIN")) {
    std::string response = "PLAIN " + sasl_plain(account.user, account.password);
    return smtp_command(stream, {"AUTH", response, true}) == kLoggedIn;
  }
  if (offers(methods, "LOGIN")) {
    return smtp_command(stream, "AUTH", "LOGIN") == kGoOn &&
           smtp_command(stream, {sasl_base64(account.user), {}, true}) == kGoOn &&
           smtp_command(stream, {sasl_base64(account.password), {}, true}) == kLoggedIn;
  }
  made_up(stream, SMTP_REFUSED, "The server offers neither AUTH PLAIN nor AUTH LOGIN");
  return false;
}

// Greeting, hello, TLS and login on a new connection to the host.
bool start(smtp_stream& stream, const smtp_host& host, const smtp_account* account) {
  if (host.tls && !start_tls(stream, host)) return false;
  if (read_reply(stream) != kGreeting || !hello(stream, host.name)) return false;
  if (!host.tls && !upgrade(stream, host)) return false;
  return authenticate(stream, host, account);
}

}  // namespace

std::unique_ptr<smtp_stream> smtp_open(const std::vector<std::string>& hosts, bool debug,
                                       const smtp_account* account, std::string* failure) {
  if (hosts.empty() || hosts.front().empty()) {
    mail_log(LOG_ERROR, "Missing MTP service host");
    return nullptr;
  }
  for (const std::string& entry : hosts) {
    if (entry.empty()) break;
    std::optional<smtp_host> host = host_entry(entry);
    if (!host) continue;
    auto stream = std::make_unique<smtp_stream>();
    stream->debug = debug;
    stream->tcp = tcp_open(host->target, kSmtpPort);
    if (!stream->tcp) continue;
    if (start(*stream, *host, account)) return stream;
    if (failure) *failure = stream->reply;
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
