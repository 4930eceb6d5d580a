#include "mail/fetch.h"

#include "mail/cache.h"
#include "mail/driver.h"
#include "mail/stream.h"
#include "message/callbacks.h"

namespace {

void check_msgno(const mail_stream* stream, std::uint32_t msgno, const char* fatal_text) {
  if (msgno < 1 || msgno > stream->nmsgs) mail_fatal(fatal_text);
}

}  // namespace

mail_envelope* mail_fetchstructure(mail_stream* stream, std::uint32_t msgno, mail_body** body) {
  check_msgno(stream, msgno, "Bad msgno in mail_fetchstructure");
  if (body) *body = nullptr;
  return stream->driver ? stream->driver->fetchstructure(stream, msgno, body) : nullptr;
}

std::string_view mail_fetchheader(mail_stream* stream, std::uint32_t msgno) {
  check_msgno(stream, msgno, "Bad msgno in mail_fetchheader");
  return stream->driver ? stream->driver->fetchheader(stream, msgno) : std::string_view();
}

std::optional<std::string_view> mail_fetchbody(mail_stream* stream, std::uint32_t msgno,
                                               std::string_view section) {
  check_msgno(stream, msgno, "Bad msgno in mail_fetchbody");
  if (!stream->driver) return std::nullopt;
  return stream->driver->fetchbody(stream, msgno, section);
}

void mail_release(mail_stream* stream, long options) {
  if (stream->driver) stream->driver->release(stream, options);
  if (options & RELEASE_ENVELOPES) {
    if (!stream->short_cache) {
      for (std::uint32_t i = 1; i <= stream->nmsgs; ++i) {
        auto* element = static_cast<mail_long_element*>(mail_cache(stream, i, CACHE_LONG));
        if (!element) continue;
        element->envelope.reset();
        element->body.reset();
      }
    }
    stream->current_msgno = 0;
    stream->current_envelope.reset();
    stream->current_body.reset();
  }
  if (options & RELEASE_TEXTS) stream->text.reset();
}
