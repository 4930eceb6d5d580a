#include "mail/remote_name.h"

#include "mail/driver.h"
#include "platform/storage.h"

namespace {

constexpr std::size_t kHostLimit = 1023;
constexpr std::size_t kMailboxLimit = 1023;
constexpr std::size_t kServiceLimit = 23;
constexpr long kPortLimit = 65535;

bool is_service_word(std::string_view word) {
  return word == "imap" || word == "imap2" || word == "imap4" || word == "pop3" || word == "nntp";
}

// The text up to the next "/" or ":" (or any of the extra stops).
std::string_view take_item(std::string_view& rest, std::string_view stops) {
  std::size_t end = rest.find_first_of(stops);
  std::string_view item = rest.substr(0, end);
  rest.remove_prefix(item.size());
  return item;
}

// The options after the host name proper, each introduced by the character
// that ended the previous item.
bool parse_options(std::string_view rest, remote_name& result) {
  bool have_port = false;
  while (!rest.empty()) {
    char introducer = rest.front();
    rest.remove_prefix(1);
    if (introducer == '/') {
      std::string_view word = take_item(rest, "/:=");
      if (!rest.empty() && rest.front() == '=') {
        rest.remove_prefix(1);
        std::string_view value = take_item(rest, "/:");
        if (word != "service" || !result.service.empty() || value.empty()) return false;
        result.service = value;
      } else if (word == "anonymous") {
        result.anonymous = true;
      } else if (word == "bboard") {
        result.bboard = true;
      } else if (word == "debug") {
        result.debug = true;
      } else if (word == "tls") {
        result.tls = true;
      } else if (word == "starttls") {
        result.starttls = true;
      } else if (is_service_word(word) && result.service.empty()) {
        result.service = word;
      } else {
        return false;
      }
    } else if (introducer == ':') {
      std::string_view digits = take_item(rest, "/:");
      if (have_port || digits.empty() || digits.size() > 5) return false;
      long port = 0;
      for (char c : digits) {
        if (c < '0' || c > '9') return false;
        port = port * 10 + (c - '0');
      }
      if (port <= 0 || port > kPortLimit) return false;
      result.port = port;
      have_port = true;
    } else {
      return false;
    }
  }
  return true;
}

}  // namespace

std::string remote_server_text(const remote_name& name) {
  std::string text = "{" + name.host;
  if (name.port) text += ":" + std::to_string(name.port);
  if (name.tls) text += "/tls";
  if (name.starttls) text += "/starttls";
  return text + "}";
}

bool mail_parse_remote_name(std::string_view name, remote_name& result) {
  result = remote_name{};
  if (!name.empty() && name.front() == '*') {
    result.bboard = true;
    name.remove_prefix(1);
  }
  if (name.empty() || name.front() != '{') return false;
  std::size_t close = name.find('}');
  if (close == std::string_view::npos || close < 2) return false;
  std::string_view inside = name.substr(1, close - 1);
  std::string_view mailbox = name.substr(close + 1);

  std::size_t host_end = inside.find_first_of("/:");
  std::string_view host = inside.substr(0, host_end);
  if (host.size() > kHostLimit || mailbox.size() > kMailboxLimit) return false;
  result.host = host;
  std::string options(inside.substr(host.size()));
  if (!parse_options(text_lower(options), result)) return false;
  if (result.service.size() > kServiceLimit) return false;

  result.mailbox = mailbox.empty() ? (result.bboard ? "general" : "INBOX") : std::string(mailbox);
  if (result.service.empty()) result.service = "imap";
  return true;
}

mail_driver* mail_check_remote_name(std::string_view name, mail_driver* driver, std::string* host,
                                    std::string* mailbox) {
  remote_name parsed;
  if (!mail_parse_remote_name(name, parsed)) return nullptr;
  std::string_view driver_name = driver->name;
  bool belongs = (parsed.service == "imap" && driver_name.starts_with("imap")) ||
                 parsed.service == driver_name;
  if (!belongs) return nullptr;
  if (host) *host = parsed.host;
  if (mailbox) *mailbox = parsed.mailbox;
  return driver;
}
