#include "model/fetch_letters.h"

#include <string>

#include "mail/cache.h"
#include "mail/fetch.h"
#include "mail/setflag_expunge.h"
#include "mail/stream.h"
#include "model/letter_from_mail.h"

fetch_outcome fetch_letters(mail_stream* stream, const fetch_questions& questions) {
  fetch_outcome outcome;
  const std::uint32_t count = stream->nmsgs;
  for (std::uint32_t n = 1; n <= count && n <= stream->nmsgs; ++n) {
    if (questions.go_on && !questions.go_on(n, count, outcome.bytes)) {
      outcome.stopped = true;
      return outcome;
    }
    if (!mail_fetchstructure(stream, n, nullptr)) {
      outcome.unreadable.push_back(n);
      continue;
    }
    const std::uint32_t size = mail_elt(stream, n)->rfc822_size;
    if (size > questions.large && !(questions.take_large && questions.take_large(n, size)))
      continue;
    std::unique_ptr<CAletter> letter = letter_from_stream(stream, n);
    if (!letter) {
      outcome.unreadable.push_back(n);
      continue;
    }
    outcome.letters.push_back(std::move(letter));
    outcome.taken.push_back(n);
    outcome.bytes += size;
  }
  if (questions.go_on) questions.go_on(count + 1, count, outcome.bytes);
  return outcome;
}

void fetch_expunge(mail_stream* stream, const std::vector<std::uint32_t>& remove) {
  for (std::uint32_t n : remove)
    mail_setflag(stream, std::to_string(n), "\\DELETED");
  mail_release(stream, RELEASE_ENVELOPES);
  mail_expunge(stream);
}
