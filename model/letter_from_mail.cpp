#include "model/letter_from_mail.h"

#include "mail/cache.h"
#include "mail/dates.h"
#include "mail/fetch.h"
#include "mail/fields.h"
#include "message/base64.h"
#include "message/body_section.h"
#include "message/quoted_printable.h"
#include "model/huge.h"
#include "model/message.h"
#include "model/part.h"

namespace {

// The fetch routine asks for fields this wide.
constexpr std::size_t kFieldWidth = 1023;
constexpr const char* kNewStatus = "N  ";
// The name of the From item of an embedded message, whose address field
// holds the sender's personal name.
constexpr const char* kEmbeddedName = "?who";

mail_text* contents_text(mail_body& body) {
  return body.type == TYPE_MESSAGE ? &body.contents.message.text : &body.contents.text;
}

// Where the text of a section lives in the structure the stream holds now
// (looked up afresh, for a fetch may have replaced the structure).
mail_text* section_text(mail_stream* stream, std::uint32_t msgno, const std::string& section) {
  mail_body* body = nullptr;
  mail_fetchstructure(stream, msgno, &body);
  if (!body) return nullptr;
  std::optional<body_section_place> place = body_section_find(*body, 0, section);
  // The structure belongs to the stream, which lets its texts be filled in.
  return place ? contents_text(const_cast<mail_body&>(*place->body)) : nullptr;
}

std::unique_ptr<CAddress> one_address(std::string name, std::string address) {
  return std::make_unique<CAddress>(
      std::make_unique<CAddritem>(std::move(name), std::move(address)));
}

std::string address_text(const mail_address& address) {
  std::string text = address.mailbox.value_or("");
  if (address.host) text += "@" + *address.host;
  return text;
}

bool message_from_mail(const mail_body::message_contents& message, CMessage& out) {
  if (const mail_envelope* envelope = message.envelope.get()) {
    const mail_address* from = envelope->from.get();
    out.envelope = CEnvelope(
        envelope->subject.value_or(""), envelope->date.value_or(""),
        from ? one_address(kEmbeddedName, from->personal.value_or("")) : one_address("", ""),
        nullptr, nullptr, nullptr, "");
  }
  if (message.body && !body_from_mail(*message.body, out.body)) return false;
  if (message.text) out.text = *message.text;
  return true;
}

}  // namespace

bool body_from_mail(const mail_body& body, CBody& out) {
  out.type = body.type;
  out.subtype = body.subtype.value_or("");
  out.parameters.reset();
  if (const mail_parameter* first = body.parameter_list.get()) {
    out.parameters = std::make_unique<CParameter>();
    out.parameters->items.push_back(
        std::make_unique<CParaitem>(first->attribute.value_or(""), first->value.value_or("")));
  }
  out.id = body.id.value_or("");
  out.text.clear();
  out.contents.reset();
  if (body.type == TYPE_MULTIPART) {
    auto parts = std::make_unique<CPart>();
    for (const mail_body_part* part = body.contents.part.get(); part; part = part->next.get()) {
      auto item = std::make_unique<CPartitem>();
      if (!body_from_mail(part->body, item->body)) return false;
      parts->items.push_back(std::move(item));
    }
    out.contents = std::move(parts);
    return true;
  }
  if (body.type == TYPE_MESSAGE) {
    auto message = std::make_unique<CMessage>();
    if (!message_from_mail(body.contents.message, *message)) return false;
    out.contents = std::move(message);
    return true;
  }
  const std::string_view raw =
      body.contents.text ? std::string_view(*body.contents.text) : std::string_view();
  std::optional<std::string> decoded;
  if (body.encoding == ENCODING_BASE64) decoded = base64_decode(raw);
  if (body.encoding == ENCODING_QUOTED_PRINTABLE) decoded = qprint_decode(raw);
  // Text that does not decode is kept as it came.
  const std::string_view contents = decoded ? std::string_view(*decoded) : raw;
  if (body.type == TYPE_TEXT) {
    out.text = contents;
    return true;
  }
  // The block holds the bytes there are, whatever size the server announced.
  auto huge = std::make_unique<CHuge>();
  if (!huge->assign(contents)) return false;
  out.contents = std::move(huge);
  return true;
}

std::unique_ptr<CAletter> letter_from_stream(mail_stream* stream, std::uint32_t msgno) {
  mail_body* body = nullptr;
  if (!mail_fetchstructure(stream, msgno, &body) || !body) return nullptr;
  const std::vector<std::string> sections = leaf_sections(*body);
  for (const std::string& section : sections) {
    std::optional<std::string_view> text = mail_fetchbody(stream, msgno, section);
    if (!text) continue;
    mail_text* place = section_text(stream, msgno, section);
    if (place && !*place) *place = std::string(*text);
  }
  mail_envelope* envelope = mail_fetchstructure(stream, msgno, &body);
  if (!envelope || !body) return nullptr;
  const mail_element* element = mail_elt(stream, msgno);

  auto letter = std::make_unique<CAletter>();
  letter->flags = CFlags(element->rfc822_size, kNewStatus);
  std::string name = mail_from_field(stream, msgno, kFieldWidth);
  name.erase(name.find_last_not_of(' ') + 1);
  const mail_address* from = envelope->from.get();
  letter->envelope =
      CEnvelope(mail_subject_field(stream, msgno, kFieldWidth), mail_date(*element),
                one_address(std::move(name), from ? address_text(*from) : std::string()), nullptr,
                nullptr, nullptr, "");
  const bool converted = body_from_mail(*body, letter->body);
  // The texts have been copied into the letter; the stream need not keep them.
  for (const std::string& section : sections) {
    if (mail_text* place = section_text(stream, msgno, section)) place->reset();
  }
  return converted ? std::move(letter) : nullptr;
}
