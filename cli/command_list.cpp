#include <cstdio>

#include "cli/commands.h"
#include "cli/mail_session.h"
#include "cli/reports.h"
#include "cli/streams.h"

// The subscribed mailboxes that match the pattern: local ones from the
// subscription list, a server's from the server; --all asks a server for
// all of its mailboxes.
int run_list(const cli_command& command, cli_arguments arguments) {
  std::optional<cli_parsed> parsed =
      cli_options_parse(arguments, session_options({{"--all", false}}));
  if (!parsed || parsed->words.size() != 1) return cli_usage(command);
  std::string out;
  mail_callbacks own;
  own.on_mailbox = [&out](std::string_view name) { out += std::string(name) + "\n"; };
  session_start(*parsed, std::move(own));
  const std::string& pattern = parsed->words[0];
  bool all = parsed->has("--all");
  unsigned errors = cli_errors_reported();
  if (session_remote(pattern)) {
    session_stream server = session_server(pattern);
    if (!server) return EXIT_FAILED;
    if (all) {
      server->driver->list_all(server.get(), pattern);
    } else {
      server->driver->list(server.get(), pattern);
    }
  } else if (all) {
    std::fprintf(stderr,
                 "kestrel-mail: --all lists the mailboxes of a server; local mailboxes are "
                 "listed from the subscription list\n");
    return EXIT_USAGE;
  } else {
    session_dummy_driver()->list(nullptr, pattern);
  }
  if (cli_errors_reported() != errors) return EXIT_FAILED;
  return output_write(out) ? EXIT_DONE : EXIT_FAILED;
}
