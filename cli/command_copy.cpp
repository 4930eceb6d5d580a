#include <strings.h>

#include <cstdio>

#include "cli/commands.h"
#include "cli/mail_session.h"
#include "mail/cache.h"
#include "mail/dates.h"
#include "mail/fetch.h"
#include "mail/remote_name.h"
#include "mail/sequence.h"
#include "mail/setflag_expunge.h"
#include "message/text_source.h"

namespace {

// Whether the stream's driver can copy to the destination itself: a mailbox
// of its own format (or an empty one), or one on the same server.
bool copies_itself(mail_stream* stream, const std::string& destination) {
  if (!mail_find_driver(stream, destination, nullptr)) return false;
  remote_name from, to;
  bool remote_from = mail_parse_remote_name(stream->mailbox.value_or(""), from);
  bool remote_to = mail_parse_remote_name(destination, to);
  if (remote_from != remote_to) return false;
  return !remote_from || (strcasecmp(from.host.c_str(), to.host.c_str()) == 0 &&
                          (to.port == 0 || from.port == 0 || to.port == from.port));
}

std::string flag_list(const mail_element& element) {
  std::string flags;
  if (element.seen) flags += " \\Seen";
  if (element.deleted) flags += " \\Deleted";
  if (element.flagged) flags += " \\Flagged";
  if (element.answered) flags += " \\Answered";
  return "(" + (flags.empty() ? flags : flags.substr(1)) + ")";
}

// Copies the marked messages by fetching each and appending it, with its
// flags and date, through the destination's own driver.
bool transfer(mail_stream* stream, const std::string& sequence, const std::string& destination) {
  std::optional<session_target> target = session_target_for(destination);
  if (!target) return false;
  stream->driver->fetchfast(stream, sequence);
  for (std::uint32_t i = 1; i <= stream->nmsgs; ++i) {
    mail_element& element = *mail_elt(stream, i);
    if (!element.sequence) continue;
    std::string message(mail_fetchheader(stream, i));
    message += stream->driver->fetchtext(stream, i);
    std::string flags = flag_list(element);
    std::optional<std::string> date;
    if (element.day) date = mail_date(element);
    text_source source;
    text_source_from_memory(source, message);
    if (!target->driver->append(target->stream, destination, flags, date, source)) return false;
  }
  return true;
}

}  // namespace

int run_copy(const cli_command& command, cli_arguments arguments) {
  const std::vector<cli_option> known = session_options({{"--move", false}});
  std::optional<cli_parsed> parsed = cli_options_parse(arguments, known);
  if (!parsed || parsed->words.size() != 3) return cli_usage(command);
  session_start(*parsed);
  const std::string& sequence = parsed->words[1];
  const std::string& destination = parsed->words[2];
  bool move = parsed->has("--move");
  session_stream stream = session_open(parsed->words[0], 0);
  if (!stream || !session_sequence(stream.get(), parsed->words[0], sequence)) return EXIT_FAILED;
  if (move && stream->readonly) {
    std::fprintf(stderr, "kestrel-mail: %s is read-only; its messages can be copied, not moved\n",
                 parsed->words[0].c_str());
    return EXIT_FAILED;
  }
  bool done;
  if (copies_itself(stream.get(), destination)) {
    done = move ? stream->driver->move(stream.get(), sequence, destination)
                : stream->driver->copy(stream.get(), sequence, destination);
  } else {
    done = transfer(stream.get(), sequence, destination);
    if (done && move) mail_setflag(stream.get(), sequence, "\\Deleted");
  }
  if (!done) std::fprintf(stderr, "kestrel-mail: the copy to %s failed\n", destination.c_str());
  return done ? EXIT_DONE : EXIT_FAILED;
}
