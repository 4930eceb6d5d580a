#include "mail/cache.h"
#include "message/body_names.h"
#include "message/callbacks.h"
#include "message/records.h"
#include "net/imap_data.h"
#include "net/imap_protocol.h"
#include "platform/storage.h"

namespace {

std::string upper_string(imap_cursor& cursor) {
  std::string text = imap_string(cursor).value_or("");
  return text_upper(text);
}

std::unique_ptr<mail_parameter> parameter_list(imap_cursor& cursor) {
  if (cursor.skip_nil()) return nullptr;
  if (cursor.peek() != '(') {
    mail_log(LOG_ERROR, "Bogus body parameter: %c%.80s", cursor.peek() ? cursor.peek() : ' ',
             cursor.shown().c_str());
    return nullptr;
  }
  cursor.skip();
  std::unique_ptr<mail_parameter> list;
  std::unique_ptr<mail_parameter>* tail = &list;
  for (;;) {
    cursor.skip_blanks();
    if (cursor.peek() == ')') {
      cursor.skip();
      return list;
    }
    std::optional<std::string> attribute = imap_string(cursor);
    if (!attribute) {
      mail_log(LOG_ERROR, "Junk at end of parameter: %.80s", cursor.shown().c_str());
      return list;
    }
    std::optional<std::string> value = imap_string(cursor);
    if (!value) {
      mail_log(LOG_ERROR, "Missing value for parameter %.80s", attribute->c_str());
      return list;
    }
    *tail = mail_new_body_parameter();
    (*tail)->attribute = text_upper(*attribute);
    (*tail)->value = std::move(value);
    tail = &(*tail)->next;
  }
}

// Where the reading of one structure stands: how deep, and how many parts so far.
struct structure_walk {
  int depth = 0;
  int parts = 0;
};

std::unique_ptr<mail_body> body_structure(imap_cursor& cursor, structure_walk& walk);

// Reads a nested structure one level down.
std::unique_ptr<mail_body> nested_structure(imap_cursor& cursor, structure_walk& walk) {
  ++walk.depth;
  std::unique_ptr<mail_body> body = body_structure(cursor, walk);
  --walk.depth;
  return body;
}

// False when a part could not be read: the rest of the data is then lost.
bool multipart_body(imap_cursor& cursor, mail_body& body, structure_walk& walk) {
  body.type = TYPE_MULTIPART;
  std::unique_ptr<mail_body_part>* tail = &body.contents.part;
  while (cursor.peek() == '(') {
    std::unique_ptr<mail_body> part = nested_structure(cursor, walk);
    if (!part) return false;
    *tail = mail_new_body_part();
    (*tail)->body = std::move(*part);
    tail = &(*tail)->next;
    cursor.skip_blanks();
  }
  body.subtype = upper_string(cursor);
  cursor.skip_blanks();
  if (cursor.peek() == ')') {
    cursor.skip();
  } else {
    mail_log(LOG_ERROR, "Junk at end of multipart body: %.80s", cursor.shown().c_str());
  }
  return true;
}

void single_part(imap_cursor& cursor, mail_body& body, structure_walk& walk) {
  // A server gives empty names for a Content-Type it could not read; such a
  // part is shown as the plain text it most likely is.
  std::string type = upper_string(cursor);
  body.type = type.empty() ? std::uint16_t{TYPE_TEXT} : body_type_find(type);
  body.subtype = upper_string(cursor);
  if (body.subtype->empty()) body.subtype = default_subtype_name(body.type);
  body.parameter_list = parameter_list(cursor);
  body.id = imap_string(cursor);
  body.description = imap_string(cursor);
  body.encoding = body_encoding_find(upper_string(cursor));
  body.bytes = body.bytes_raw = static_cast<std::uint32_t>(imap_number(cursor));
  if (body.type == TYPE_TEXT) {
    body.lines = static_cast<std::uint32_t>(imap_number(cursor));
  } else if (body.type == TYPE_MESSAGE && body.subtype == "RFC822") {
    body.contents.message.envelope = imap_envelope(cursor);
    body.contents.message.body = nested_structure(cursor, walk);
    body.lines = static_cast<std::uint32_t>(imap_number(cursor));
  }
  cursor.skip_blanks();
  if (cursor.peek() == ')') {
    cursor.skip();
  } else {
    mail_log(LOG_ERROR, "Junk at end of body part: %.80s", cursor.shown().c_str());
  }
}

std::unique_ptr<mail_body> body_structure(imap_cursor& cursor, structure_walk& walk) {
  if (cursor.skip_nil()) return nullptr;
  if (cursor.peek() != '(') {
    mail_log(LOG_ERROR, "Bogus body structure: %.80s", cursor.shown().c_str());
    return nullptr;
  }
  // Deeper or larger structures come only from a broken or hostile server.
  if (walk.depth > kImapDepthLimit) {
    imap_protocol_error(cursor.stream(),
                        mail_format("Bogus body structure: nested over %d deep", kImapDepthLimit));
    return nullptr;
  }
  if (++walk.parts > kImapPartLimit) {
    imap_protocol_error(cursor.stream(),
                        mail_format("Bogus body structure: over %d parts", kImapPartLimit));
    return nullptr;
  }
  cursor.skip();
  auto body = mail_new_body();
  cursor.skip_blanks();
  if (cursor.peek() == '(') {
    if (!multipart_body(cursor, *body, walk)) return nullptr;
  } else {
    single_part(cursor, *body, walk);
  }
  return body;
}

// The cached body of a message, or its place in short-cache mode; null (and
// reported) when the message is not the current one.
std::unique_ptr<mail_body>* cached_body(mail_stream* stream, std::uint32_t msgno) {
  if (!stream->short_cache) return &mail_lelt(stream, msgno)->body;
  if (msgno == stream->current_msgno) return &stream->current_body;
  mail_log(LOG_ERROR, "Body received for %ld when current is %ld", static_cast<long>(msgno),
           static_cast<long>(stream->current_msgno));
  return nullptr;
}

void report(bool reporting, const char* text) {
  if (reporting) mail_log(LOG_ERROR, "%s", text);
}

}  // namespace

std::unique_ptr<mail_body> imap_body_structure(imap_cursor& cursor) {
  structure_walk walk;
  return body_structure(cursor, walk);
}

mail_text* imap_section_contents(mail_body* body, std::string_view section, bool reporting) {
  while (true) {
    std::size_t dot = section.find('.');
    std::string_view number = section.substr(0, dot);
    bool more = dot != std::string_view::npos;
    section = more ? section.substr(dot + 1) : std::string_view();
    unsigned long n = 0;
    bool good = !number.empty() && number.size() <= 9;
    for (char c : number) {
      good = good && c >= '0' && c <= '9';
      n = n * 10 + static_cast<unsigned long>(c - '0');
    }
    if (!good || n == 0) {
      report(reporting, "Bogus section number");
      return nullptr;
    }
    if (body->type == TYPE_MULTIPART) {
      mail_body_part* part = body->contents.part.get();
      for (unsigned long i = 1; part && i < n; ++i)
        part = part->next.get();
      if (!part) {
        report(reporting, "Invalid section number");
        return nullptr;
      }
      body = &part->body;
    } else if (n != 1) {
      report(reporting, "Bad section number");
      return nullptr;
    }
    if (!more) break;
    if (body->type == TYPE_MESSAGE && body->contents.message.body) {
      body = body->contents.message.body.get();
    } else if (body->type != TYPE_MULTIPART) {
      report(reporting, "Invalid sub-section");
      return nullptr;
    }
  }
  if (body->type == TYPE_MULTIPART) {
    report(reporting, "Textual body contents received for MULTIPART body part");
    return nullptr;
  }
  return body->type == TYPE_MESSAGE ? &body->contents.message.text : &body->contents.text;
}

void imap_body_data(imap_cursor& cursor, std::uint32_t msgno, std::string_view item) {
  mail_stream* stream = cursor.stream();
  if (item == "BODY") {
    std::unique_ptr<mail_body> body = imap_body_structure(cursor);
    if (std::unique_ptr<mail_body>* place = cached_body(stream, msgno)) *place = std::move(body);
    return;
  }
  if (!item.starts_with("BODY[") || !item.ends_with("]")) {
    std::string shown_item(item);
    mail_log(LOG_ERROR, "Bad body fetch: %.80s", shown_item.c_str());
    return;
  }
  std::string_view section = item.substr(5, item.size() - 6);
  if (section.find(']') != std::string_view::npos) {
    std::string shown_item(item);
    mail_log(LOG_ERROR, "Bad body index: %.80s", shown_item.c_str());
    return;
  }
  std::optional<std::string> contents = imap_string(cursor);
  std::unique_ptr<mail_body>* place = cached_body(stream, msgno);
  if (!place) return;
  if (!*place) {
    mail_log(LOG_ERROR, "Body contents received when body structure unknown");
    return;
  }
  if (mail_text* slot = imap_section_contents(place->get(), section, true)) {
    *slot = std::move(contents);
  }
}
