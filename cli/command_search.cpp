#include <cstdio>

#include "cli/commands.h"
#include "cli/mail_session.h"
#include "cli/reports.h"
#include "cli/streams.h"

int run_search(const cli_command& command, cli_arguments arguments) {
  std::optional<cli_parsed> parsed = cli_options_parse(arguments, session_options({}));
  if (!parsed || parsed->words.size() < 2) return cli_usage(command);
  std::vector<std::uint32_t> found;
  mail_callbacks own;
  own.on_searched = [&found](mail_stream*, std::uint32_t msgno) { found.push_back(msgno); };
  session_start(*parsed, std::move(own));
  // The criteria may come as one word or as several.
  std::string criteria;
  for (std::size_t i = 1; i < parsed->words.size(); ++i)
    criteria += (i > 1 ? " " : "") + parsed->words[i];
  session_stream stream = session_open(parsed->words[0], OPEN_READONLY);
  if (!stream) return EXIT_FAILED;
  unsigned errors = cli_errors_reported();
  stream->driver->search(stream.get(), criteria);
  if (cli_errors_reported() != errors) return EXIT_FAILED;
  std::string out;
  for (std::uint32_t msgno : found)
    out += std::to_string(msgno) + "\n";
  return output_write(out) ? EXIT_DONE : EXIT_FAILED;
}
