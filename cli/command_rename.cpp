#include <cstdio>

#include "cli/commands.h"
#include "cli/mail_session.h"

int run_rename(const cli_command& command, cli_arguments arguments) {
  std::optional<cli_parsed> parsed = session_names(arguments, 2);
  if (!parsed) return cli_usage(command);
  const std::string& old_name = parsed->words[0];
  const std::string& new_name = parsed->words[1];
  if (session_remote(old_name) != session_remote(new_name)) {
    std::fprintf(stderr, "kestrel-mail: a mailbox is renamed on its own server or disk\n");
    return EXIT_FAILED;
  }
  return session_on_name(old_name, [&](mail_driver& driver, mail_stream* stream) {
    return driver.rename(stream, old_name, new_name);
  });
}
