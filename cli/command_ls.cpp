#include <cstdio>
#include <nlohmann/json.hpp>

#include "cli/commands.h"
#include "cli/mail_session.h"
#include "cli/streams.h"
#include "mail/cache.h"
#include "mail/dates.h"
#include "mail/fields.h"

namespace {

constexpr std::size_t kFromWidth = 20;
constexpr std::size_t kSubjectWidth = 1000;

std::string flag_letters(const mail_element& element) {
  return {element.seen ? 'S' : '.', element.deleted ? 'D' : '.', element.flagged ? 'F' : '.',
          element.answered ? 'A' : '.'};
}

std::string trimmed(std::string text) {
  while (!text.empty() && text.back() == ' ')
    text.pop_back();
  return text;
}

}  // namespace

int run_ls(const cli_command& command, cli_arguments arguments) {
  const std::vector<cli_option> known = session_options({{"--json", false}});
  std::optional<cli_parsed> parsed = cli_options_parse(arguments, known);
  if (!parsed || parsed->words.size() != 1) return cli_usage(command);
  session_start(*parsed);
  const std::string& name = parsed->words[0];
  // Local mailboxes keep one envelope at a time, so that a large file needs
  // little memory.
  long options = OPEN_READONLY;
  if (!session_remote(name)) options |= OPEN_SHORTCACHE;
  session_stream stream = session_open(name, options);
  if (!stream) return EXIT_FAILED;
  std::uint32_t count = stream->nmsgs;
  if (count) stream->driver->fetchfast(stream.get(), "1:" + std::to_string(count));
  bool json = parsed->has("--json");
  std::string out = json ? "[" : "";
  for (std::uint32_t i = 1; i <= count && i <= stream->nmsgs; ++i) {
    const mail_element& element = *mail_elt(stream.get(), i);
    std::string from = mail_from_field(stream.get(), i, kFromWidth);
    // A CR LF header leaves a blank after the subject; it is not shown.
    std::string subject = trimmed(mail_subject_field(stream.get(), i, kSubjectWidth));
    if (json) {
      nlohmann::ordered_json line = {{"msgno", i},
                                     {"flags", flag_letters(element)},
                                     {"date", mail_date(element)},
                                     {"size", element.rfc822_size},
                                     {"from", trimmed(from)},
                                     {"subject", subject}};
      // Letters hold bytes of any charset; invalid UTF-8 is replaced, not fatal.
      out += (i > 1 ? ",\n" : "\n") +
             line.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    } else {
      char number[64];
      std::snprintf(number, sizeof number, "%5u %s %s %8u ", i, flag_letters(element).c_str(),
                    mail_date(element).c_str(), element.rfc822_size);
      out += number + from + " " + subject + "\n";
    }
    if (out.size() > (1 << 16)) {
      if (!output_write(out)) return EXIT_FAILED;
      out.clear();
    }
  }
  if (json) out += count ? "\n]\n" : "]\n";
  return output_write(out) ? EXIT_DONE : EXIT_FAILED;
}
