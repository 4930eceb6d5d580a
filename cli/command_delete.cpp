#include "cli/commands.h"
#include "cli/mail_session.h"

int run_delete(const cli_command& command, cli_arguments arguments) {
  std::optional<cli_parsed> parsed = session_names(arguments, 1);
  if (!parsed) return cli_usage(command);
  const std::string& name = parsed->words[0];
  return session_on_name(name, [&name](mail_driver& driver, mail_stream* stream) {
    return driver.delete_(stream, name);
  });
}
