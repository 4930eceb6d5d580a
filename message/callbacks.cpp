#include "message/callbacks.h"

#include <cstdarg>
#include <cstdio>

#include "platform/fatal.h"

namespace {

constexpr std::size_t kReportSize = 1024;

void print_fatal(std::string_view text) {
  std::fprintf(stderr, "%.*s\n", static_cast<int>(text.size()), text.data());
}

template <typename Function>
void fill(Function& member, Function empty) {
  if (!member) member = std::move(empty);
}

mail_callbacks complete(mail_callbacks table) {
  fill(table.on_log, {[](std::string_view, long) {}});
  fill(table.on_debug, {[](std::string_view) {}});
  fill(table.on_notify, {[](mail_stream*, std::string_view, long) {}});
  fill(table.on_exists, {[](mail_stream*, std::uint32_t) {}});
  fill(table.on_expunged, {[](mail_stream*, std::uint32_t) {}});
  fill(table.on_searched, {[](mail_stream*, std::uint32_t) {}});
  fill(table.on_flags, {[](mail_stream*, std::uint32_t) {}});
  fill(table.on_mailbox, {[](std::string_view) {}});
  fill(table.on_bboard, {[](std::string_view) {}});
  fill(table.on_login, {[](std::string_view, std::string&, std::string&, long) {}});
  fill(table.on_plain_login, {[](std::string_view) { return false; }});
  fill(table.on_critical_begin, {[](mail_stream*) {}});
  fill(table.on_critical_end, {[](mail_stream*) {}});
  fill(table.on_timeout, {[](long) { return false; }});
  fill(table.on_wait, {[] { return true; }});
  fill(table.on_fatal, {print_fatal});
  return table;
}

mail_callbacks& current() {
  static mail_callbacks table = complete({});
  return table;
}

// Storage exhaustion in the platform layer reaches the application's on_fatal.
void fatal_to_application(const char* text) {
  current().on_fatal(text);
}

const bool fatal_routed = (fatal_set_handler(fatal_to_application), true);

std::string vformat(const char* format, va_list arguments) {
  char buffer[kReportSize];
  std::vsnprintf(buffer, sizeof buffer, format, arguments);
  return buffer;
}

}  // namespace

mail_callbacks mail_set_callbacks(mail_callbacks callbacks) {
  (void)fatal_routed;
  mail_callbacks old = std::move(current());
  current() = complete(std::move(callbacks));
  return old;
}

const mail_callbacks& mail_callback() {
  return current();
}

void mail_log(long level, const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  std::string text = vformat(format, arguments);
  va_end(arguments);
  current().on_log(text, level);
}

std::string mail_format(const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  std::string text = vformat(format, arguments);
  va_end(arguments);
  return text;
}

void mail_fatal(const char* text) {
  fatal_stop(text);
}

std::string mail_reports_under(std::string text, const std::vector<std::string>& reports) {
  for (std::size_t i = 0; i < reports.size(); ++i) {
    if (i == 0 || reports[i] != reports[i - 1]) text += "\n" + reports[i];
  }
  return text;
}
