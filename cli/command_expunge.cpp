#include <cstdio>

#include "cli/commands.h"
#include "cli/mail_session.h"
#include "cli/reports.h"
#include "mail/setflag_expunge.h"

int run_expunge(const cli_command& command, cli_arguments arguments) {
  std::optional<cli_parsed> parsed = cli_options_parse(arguments, session_options({}));
  if (!parsed || parsed->words.size() != 1) return cli_usage(command);
  session_start(*parsed);
  const std::string& name = parsed->words[0];
  session_stream stream = session_open(name, 0);
  if (!stream) return EXIT_FAILED;
  unsigned errors = cli_errors_reported();
  mail_expunge(stream.get());
  if (stream->readonly) {
    std::fprintf(stderr, "kestrel-mail: %s is read-only; nothing was expunged\n", name.c_str());
    return EXIT_FAILED;
  }
  return cli_errors_reported() == errors && stream->driver ? EXIT_DONE : EXIT_FAILED;
}
