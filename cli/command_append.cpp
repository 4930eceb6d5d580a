#include <cstdio>
#include <limits>

#include "cli/commands.h"
#include "cli/mail_session.h"
#include "cli/streams.h"
#include "message/text_source.h"

int run_append(const cli_command& command, cli_arguments arguments) {
  const std::vector<cli_option> known = session_options({{"--flags", true}, {"--date", true}});
  std::optional<cli_parsed> parsed = cli_options_parse(arguments, known);
  if (!parsed || parsed->words.empty() || parsed->words.size() > 2) return cli_usage(command);
  session_start(*parsed);
  const std::string& name = parsed->words[0];
  std::optional<std::string> message =
      input_read(parsed->words.size() == 2 ? parsed->words[1] : "");
  if (!message) return EXIT_FAILED;
  if (message->size() > std::numeric_limits<std::uint32_t>::max()) {
    std::fprintf(stderr, "kestrel-mail: a message of %zu bytes is too large (at most 4 GiB)\n",
                 message->size());
    return EXIT_FAILED;
  }
  std::optional<std::string> flags = parsed->value("--flags");
  std::optional<std::string> date = parsed->value("--date");
  text_source source;
  text_source_from_memory(source, *message);
  std::optional<session_target> target = session_target_for(name);
  if (!target) return EXIT_FAILED;
  bool appended = target->driver->append(target->stream, name, flags, date, source);
  if (!appended) std::fprintf(stderr, "kestrel-mail: nothing appended to %s\n", name.c_str());
  return appended ? EXIT_DONE : EXIT_FAILED;
}
