#include <cstdio>

#include "cli/commands.h"
#include "cli/mail_session.h"
#include "cli/reports.h"

int run_flag(const cli_command& command, cli_arguments arguments) {
  const std::vector<cli_option> known = session_options({{"--clear", false}});
  std::optional<cli_parsed> parsed = cli_options_parse(arguments, known);
  if (!parsed || parsed->words.size() != 3) return cli_usage(command);
  session_start(*parsed);
  const std::string& name = parsed->words[0];
  session_stream stream = session_open(name, 0);
  if (!stream) return EXIT_FAILED;
  if (stream->readonly) {
    std::fprintf(stderr, "kestrel-mail: %s is read-only; its flags cannot be changed\n",
                 name.c_str());
    return EXIT_FAILED;
  }
  if (!session_sequence(stream.get(), name, parsed->words[1])) return EXIT_FAILED;
  unsigned errors = cli_errors_reported();
  if (parsed->has("--clear")) {
    stream->driver->clearflag(stream.get(), parsed->words[1], parsed->words[2]);
  } else {
    stream->driver->setflag(stream.get(), parsed->words[1], parsed->words[2]);
  }
  return cli_errors_reported() == errors ? EXIT_DONE : EXIT_FAILED;
}
