#include <cstdio>
#include <nlohmann/json.hpp>

#include "cli/commands.h"
#include "mail/remote_name.h"

int run_remote(const cli_command& command, cli_arguments arguments) {
  if (arguments.size() != 1) return cli_usage(command);
  const std::string& name = arguments[0];
  remote_name parsed;
  if (!mail_parse_remote_name(name, parsed)) {
    std::fprintf(stderr, "not a remote mailbox name: %s\n", name.c_str());
    return EXIT_FAILED;
  }
  nlohmann::ordered_json result = {
      {"host", parsed.host},           {"mailbox", parsed.mailbox},
      {"service", parsed.service},     {"port", parsed.port},
      {"anonymous", parsed.anonymous}, {"bboard", parsed.bboard},
      {"debug", parsed.debug},         {"tls", parsed.tls},
      {"starttls", parsed.starttls},
  };
  // Host and mailbox are bytes as given; invalid UTF-8 is replaced, not fatal.
  std::printf("%s\n",
              result.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace).c_str());
  return EXIT_DONE;
}
