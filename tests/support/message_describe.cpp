#include "tests/support/message_describe.h"

#include <memory>

#include "message/envelope_parse.h"
#include "tests/support/piece_source.h"

namespace {

void text_line(std::string& out, const std::string& indent, std::string_view name,
               const mail_text& text) {
  out += indent;
  out += name;
  out += text ? "=[" + *text + "]\n" : " absent\n";
}

void addresses(std::string& out, const std::string& indent, std::string_view name,
               const mail_address* list) {
  out += indent;
  out += name;
  out += ":\n";
  for (; list; list = list->next.get()) {
    text_line(out, indent + "  ", "personal", list->personal);
    text_line(out, indent + "  ", "route", list->route);
    text_line(out, indent + "  ", "mailbox", list->mailbox);
    text_line(out, indent + "  ", "host", list->host);
  }
}

void envelope_lines(std::string& out, const std::string& indent, const mail_envelope& envelope) {
  text_line(out, indent, "date", envelope.date);
  addresses(out, indent, "from", envelope.from.get());
  addresses(out, indent, "sender", envelope.sender.get());
  addresses(out, indent, "reply_to", envelope.reply_to.get());
  text_line(out, indent, "subject", envelope.subject);
  addresses(out, indent, "to", envelope.to.get());
  addresses(out, indent, "cc", envelope.cc.get());
  addresses(out, indent, "bcc", envelope.bcc.get());
  text_line(out, indent, "in_reply_to", envelope.in_reply_to);
  text_line(out, indent, "message_id", envelope.message_id);
  text_line(out, indent, "newsgroups", envelope.newsgroups);
}

void body_lines(std::string& out, const std::string& indent, const mail_body& body) {
  out += indent + "type " + std::to_string(body.type) + " encoding " +
         std::to_string(body.encoding) + " lines " + std::to_string(body.lines) + " bytes " +
         std::to_string(body.bytes) + "/" + std::to_string(body.bytes_raw) + "\n";
  text_line(out, indent, "subtype", body.subtype);
  for (const mail_parameter* p = body.parameter_list.get(); p; p = p->next.get())
    text_line(out, indent, "parameter " + p->attribute.value_or("?"), p->value);
  text_line(out, indent, "id", body.id);
  text_line(out, indent, "description", body.description);
  for (const mail_body_part* part = body.contents.part.get(); part; part = part->next.get()) {
    out += indent + "part at " + std::to_string(part->offset) + "\n";
    body_lines(out, indent + "  ", part->body);
  }
  const mail_body::message_contents& message = body.contents.message;
  if (message.envelope) {
    out += indent + "message, body at " + std::to_string(message.offset) + "\n";
    envelope_lines(out, indent + "  ", *message.envelope);
  }
  if (message.body) body_lines(out, indent + "  ", *message.body);
}

}  // namespace

std::string envelope_describe(const mail_envelope& envelope) {
  std::string out;
  envelope_lines(out, "", envelope);
  return out;
}

std::string body_describe(const mail_body& body) {
  std::string out;
  body_lines(out, "", body);
  return out;
}

std::string message_describe(std::string_view message, unsigned piece_size) {
  text_source source;
  if (piece_size == 0) {
    text_source_from_memory(source, message);
  } else {
    text_source_in_pieces(source, message, piece_size);
  }
  const parsed_letter letter = letter_parse(source, "default.host");
  return envelope_describe(*letter.envelope) + body_describe(*letter.body);
}
