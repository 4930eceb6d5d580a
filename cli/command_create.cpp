#include "cli/commands.h"
#include "cli/mail_session.h"

// No driver recognises a mailbox that is not there yet: a server name goes to
// the server's driver, a local one to the dummy driver.
int run_create(const cli_command& command, cli_arguments arguments) {
  std::optional<cli_parsed> parsed = session_names(arguments, 1);
  if (!parsed) return cli_usage(command);
  const std::string& name = parsed->words[0];
  return session_on_name(name, [&name](mail_driver& driver, mail_stream* stream) {
    return driver.create(stream, name);
  });
}
