// subscribe and unsubscribe: the subscription list (or the server's).

#include "cli/commands.h"
#include "cli/mail_session.h"

int run_subscribe(const cli_command& command, cli_arguments arguments) {
  std::optional<cli_parsed> parsed = session_names(arguments, 1);
  if (!parsed) return cli_usage(command);
  const std::string& name = parsed->words[0];
  return session_on_name(name, [&name](mail_driver& driver, mail_stream* stream) {
    return driver.subscribe(stream, name);
  });
}

int run_unsubscribe(const cli_command& command, cli_arguments arguments) {
  std::optional<cli_parsed> parsed = session_names(arguments, 1);
  if (!parsed) return cli_usage(command);
  const std::string& name = parsed->words[0];
  return session_on_name(name, [&name](mail_driver& driver, mail_stream* stream) {
    return driver.unsubscribe(stream, name);
  });
}
