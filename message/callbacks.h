#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

struct mail_stream;

// Report levels of on_log (on_notify also uses FAREWELL for a server's BYE).
enum : long { LOG_INFO = 0, LOG_WARNING = 1, LOG_ERROR = 2, LOG_PARSE = 3, LOG_FAREWELL = 4 };

// The application's callbacks: the mail library reports everything through
// this one table. A member left empty does nothing (on_fatal: prints the text).
struct mail_callbacks {
  std::function<void(std::string_view text, long level)> on_log;
  std::function<void(std::string_view text)> on_debug;
  std::function<void(mail_stream* stream, std::string_view text, long level)> on_notify;
  std::function<void(mail_stream* stream, std::uint32_t count)> on_exists;
  std::function<void(mail_stream* stream, std::uint32_t msgno)> on_expunged;
  std::function<void(mail_stream* stream, std::uint32_t msgno)> on_searched;
  std::function<void(mail_stream* stream, std::uint32_t msgno)> on_flags;
  std::function<void(std::string_view name)> on_mailbox;
  std::function<void(std::string_view name)> on_bboard;
  std::function<void(std::string_view host, std::string& user, std::string& password, long trial)>
      on_login;
  // The server of `host` offers no TLS: true lets the password go in clear.
  // Empty: refuses.
  std::function<bool(std::string_view host)> on_plain_login;
  std::function<void(mail_stream* stream)> on_critical_begin;
  std::function<void(mail_stream* stream)> on_critical_end;
  // A network read or write has waited its time-out (seconds since it began):
  // true waits on, false gives up and closes the connection. Empty: gives up.
  std::function<bool(long seconds)> on_timeout;
  // Called at least every 250 ms while a network read or write waits: false
  // abandons the wait and closes the connection. Empty: waits on.
  std::function<bool()> on_wait;
  std::function<void(std::string_view text)> on_fatal;
};

// Replaces the whole table (empty members become no-ops); returns the old one.
mail_callbacks mail_set_callbacks(mail_callbacks callbacks);

// The table in force; every member is callable.
const mail_callbacks& mail_callback();

// on_log with a text formatted into at most 1024 bytes (quote bad input with
// "%.80s").
void mail_log(long level, const char* format, ...) __attribute__((format(printf, 2, 3)));

// The same formatting, for the other callbacks.
std::string mail_format(const char* format, ...) __attribute__((format(printf, 1, 2)));

// A text for the user with reports kept from on_log under it, one a line;
// a report repeated at once shows once (every trial may fail alike).
std::string mail_reports_under(std::string text, const std::vector<std::string>& reports);

// A broken invariant: on_fatal with the text, then the program stops.
[[noreturn]] void mail_fatal(const char* text);
