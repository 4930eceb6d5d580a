// Envelopes, bodies and texts of the messages of a local mailbox file.

#include <vector>

#include "mail/cache.h"
#include "mail/local_format.h"
#include "message/body_section.h"
#include "message/envelope_parse.h"
#include "platform/host_name.h"

namespace {

// Where the parsed envelope and body of a message are kept: the long element,
// or in short-cache mode the stream's current ones.
struct structure_places {
  std::unique_ptr<mail_envelope>* envelope;
  std::unique_ptr<mail_body>* body;
};

structure_places places_of(mail_stream* stream, std::uint32_t msgno) {
  if (stream->short_cache) {
    if (stream->current_msgno != msgno) {
      stream->current_envelope.reset();
      stream->current_body.reset();
      stream->current_msgno = msgno;
    }
    return {&stream->current_envelope, &stream->current_body};
  }
  mail_long_element* element = mail_lelt(stream, msgno);
  return {&element->envelope, &element->body};
}

// Marks the message seen, in the file too when the format keeps flags there.
void mark_seen(mail_stream* stream, std::uint32_t msgno) {
  mail_element& element = *mail_elt(stream, msgno);
  if (element.seen) return;
  element.seen = 1;
  local_flags_store(stream, element);
}

}  // namespace

mail_envelope* local_fetchstructure(mail_stream* stream, std::uint32_t msgno, mail_body** body) {
  local_file* file = local_file_of(stream);
  if (!file) return nullptr;
  structure_places places = places_of(stream, msgno);
  bool want_body = body != nullptr;
  if (!*places.envelope || (want_body && !*places.body)) {
    local_range range = local_text_range(stream, msgno);
    std::uint32_t header_length = local_header_length(stream, msgno);
    std::string header(header_length, '\0');
    if (!local_read(*file, range.start, header_length, header.data())) header.clear();
    std::unique_ptr<mail_envelope> envelope;
    if (want_body) {
      text_source source;
      local_source_init(source, *file, range.start, range.length);
      text_setpos(source, header_length);
      envelope_parse(envelope, places.body, header, &source, local_host_name());
    } else {
      envelope_parse(envelope, nullptr, header, nullptr, local_host_name());
    }
    // An envelope handed out before stays valid.
    if (!*places.envelope) *places.envelope = std::move(envelope);
  }
  if (body) *body = places.body->get();
  return places.envelope->get();
}

std::string_view local_fetchheader(mail_stream* stream, std::uint32_t msgno) {
  if (!local_file_of(stream)) return {};
  local_range range = local_text_range(stream, msgno);
  return local_text_deliver(stream, range.start, local_header_length(stream, msgno));
}

std::string_view local_fetchtext(mail_stream* stream, std::uint32_t msgno) {
  if (!local_file_of(stream)) return {};
  local_range range = local_text_range(stream, msgno);
  std::uint32_t header_length = local_header_length(stream, msgno);
  mark_seen(stream, msgno);
  return local_text_deliver(stream, range.start + header_length, range.length - header_length);
}

std::optional<std::string_view> local_fetchbody(mail_stream* stream, std::uint32_t msgno,
                                                std::string_view section) {
  mail_body* body = nullptr;
  if (!local_fetchstructure(stream, msgno, &body) || !body) return std::nullopt;
  std::optional<body_section_place> place =
      body_section_find(*body, local_header_length(stream, msgno), section);
  if (!place) return std::nullopt;
  local_range range = local_text_range(stream, msgno);
  std::uint32_t length =
      std::min(place->body->bytes, range.length - std::min(range.length, place->offset));
  mark_seen(stream, msgno);
  return local_text_deliver(stream, range.start + place->offset, length);
}
