#include "cli/reports.h"

#include <cstdio>

#include "message/callbacks.h"

namespace {

const char* level_name(long level) {
  switch (level) {
    case LOG_INFO:
      return "info";
    case LOG_WARNING:
      return "warning";
    case LOG_ERROR:
      return "error";
    case LOG_PARSE:
      return "parse error";
    default:
      return "notice";
  }
}

unsigned errors = 0;

void print_report(long level, std::string_view text) {
  if (level == LOG_ERROR) ++errors;
  std::fprintf(stderr, "%s: %.*s\n", level_name(level), static_cast<int>(text.size()), text.data());
}

}  // namespace

mail_callbacks cli_report_callbacks() {
  mail_callbacks callbacks;
  callbacks.on_log = [](std::string_view text, long level) { print_report(level, text); };
  callbacks.on_notify = [](mail_stream*, std::string_view text, long level) {
    print_report(level, text);
  };
  callbacks.on_fatal = [](std::string_view text) {
    std::fprintf(stderr, "kestrel-mail: fatal: %.*s\n", static_cast<int>(text.size()), text.data());
  };
  return callbacks;
}

void cli_install_reports() {
  mail_set_callbacks(cli_report_callbacks());
}

unsigned cli_errors_reported() {
  return errors;
}
