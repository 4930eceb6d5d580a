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

void print_report(long level, std::string_view text) {
  std::fprintf(stderr, "%s: %.*s\n", level_name(level), static_cast<int>(text.size()), text.data());
}

}  // namespace

void cli_install_reports() {
  mail_callbacks callbacks;
  callbacks.on_log = [](std::string_view text, long level) { print_report(level, text); };
  callbacks.on_notify = [](mail_stream*, std::string_view text, long level) {
    print_report(level, text);
  };
  callbacks.on_fatal = [](std::string_view text) {
    std::fprintf(stderr, "kestrel-mail: fatal: %.*s\n", static_cast<int>(text.size()), text.data());
  };
  mail_set_callbacks(std::move(callbacks));
}
