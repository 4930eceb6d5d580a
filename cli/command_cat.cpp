#include <charconv>
#include <cstdio>

#include "cli/commands.h"
#include "cli/mail_session.h"
#include "cli/streams.h"
#include "mail/fetch.h"

namespace {

// The message number of a word, checked against the mailbox; nothing after
// a message.
std::optional<std::uint32_t> message_number(const std::string& word, const mail_stream& stream,
                                            const std::string& name) {
  std::uint32_t msgno = 0;
  auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), msgno);
  if (error != std::errc() || end != word.data() + word.size() || msgno < 1 ||
      msgno > stream.nmsgs) {
    std::fprintf(stderr, "kestrel-mail: %s has no message %s (it holds %u)\n", name.c_str(),
                 word.c_str(), stream.nmsgs);
    return std::nullopt;
  }
  return msgno;
}

}  // namespace

int run_cat(const cli_command& command, cli_arguments arguments) {
  const std::vector<cli_option> known =
      session_options({{"--header", false}, {"--text", false}, {"--section", true}});
  std::optional<cli_parsed> parsed = cli_options_parse(arguments, known);
  if (!parsed || parsed->words.size() != 2 ||
      parsed->has("--header") + parsed->has("--text") + parsed->has("--section") > 1) {
    return cli_usage(command);
  }
  session_start(*parsed);
  const std::string& name = parsed->words[0];
  session_stream stream = session_open(name, 0);
  if (!stream) return EXIT_FAILED;
  std::optional<std::uint32_t> msgno = message_number(parsed->words[1], *stream, name);
  if (!msgno) return EXIT_FAILED;
  if (std::optional<std::string> section = parsed->value("--section")) {
    std::optional<std::string_view> text = mail_fetchbody(stream.get(), *msgno, *section);
    if (!text) {
      std::fprintf(stderr, "kestrel-mail: message %u has no section %s\n", *msgno,
                   section->c_str());
      return EXIT_FAILED;
    }
    return output_write(*text) ? EXIT_DONE : EXIT_FAILED;
  }
  std::string out;
  if (!parsed->has("--text")) out = mail_fetchheader(stream.get(), *msgno);
  if (!parsed->has("--header")) out += stream->driver->fetchtext(stream.get(), *msgno);
  return output_write(out) ? EXIT_DONE : EXIT_FAILED;
}
