#include <cstdio>

#include "cli/commands.h"
#include "mail/dates.h"
#include "mail/element.h"

int run_date(const cli_command& command, cli_arguments arguments) {
  if (arguments.size() != 1) return cli_usage(command);
  const std::string& text = arguments[0];
  mail_element element;
  if (!mail_parse_date(element, text)) {
    std::fprintf(stderr, "invalid date: %s\n", text.c_str());
    return EXIT_FAILED;
  }
  std::string ctime_form = mail_ctime_date(element);
  ctime_form.pop_back();  // its newline
  std::printf("%s\n%s\n", mail_date(element).c_str(), ctime_form.c_str());
  return EXIT_DONE;
}
