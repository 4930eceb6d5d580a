#include "model/letter_to_mail.h"

#include <strings.h>

#include <algorithm>

#include "model/huge.h"
#include "model/message.h"
#include "model/part.h"
#include "mail/dates.h"
#include "mail/element.h"
#include "message/rfc822_binary.h"
#include "message/message_output.h"
#include "message/quoted_printable.h"

namespace {

constexpr std::size_t kLongestLine = 998;
constexpr const char* kEmbeddedName = "?who";

bool has_long_line(std::string_view text) {
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::size_t length = end - start;
    if (length > 0 && end < text.size() && text[end - 1] == '\r') --length;
    if (length > kLongestLine) return true;
    start = end + 1;
  }
  return false;
}

mail_text optional_text(const std::string& text) {
  return text.empty() ? mail_text() : mail_text(text);
}

std::unique_ptr<mail_address> address_list(const CAddress* list) {
  std::unique_ptr<mail_address> head;
  std::unique_ptr<mail_address>* tail = &head;
  if (!list) return head;
  for (const auto& item : list->items) {
    if (item->address.empty()) continue;
    auto address = mail_new_address();
    const std::size_t at = item->address.rfind('@');
    address->mailbox = item->address.substr(0, at);
    if (at != std::string::npos) address->host = item->address.substr(at + 1);
    // A fetched letter's name is the address itself when the sender gave none.
    if (!item->name.empty() && item->name != item->address && item->name != kEmbeddedName)
      address->personal = item->name;
    *tail = std::move(address);
    tail = &(*tail)->next;
  }
  return head;
}

// " 5-Dec-1996 11:53:20 +0800" as "Thu, 5 Dec 1996 11:53:20 +0800".
mail_text rfc822_date(const std::string& date) {
  mail_element element;
  if (!mail_parse_date(element, date)) {
    const std::size_t first = date.find_first_not_of(' ');
    return first == std::string::npos ? mail_text() : mail_text(date.substr(first));
  }
  const std::string ctime = mail_ctime_date(element);  // "Thu Dec  5 11:53:20 1996\n"
  const std::string internal = mail_date(element);     // " 5-Dec-1996 11:53:20 +0800"
  std::string day = ctime.substr(8, 2);
  if (day[0] == ' ') day.erase(0, 1);
  return ctime.substr(0, 3) + ", " + day + " " + ctime.substr(4, 3) + " " + ctime.substr(20, 4) +
         " " + ctime.substr(11, 8) + " " + internal.substr(internal.size() - 5);
}

void message_to_mail(const CMessage& message, mail_body& out, int transfer_mode) {
  mail_body::message_contents& contents = out.contents.message;
  contents.envelope = envelope_to_mail(message.envelope);
  contents.body = body_to_mail(message.body, transfer_mode);
  if (!message.text.empty()) {
    contents.text = message.text;
  } else {
    // Without its text the message is written from its parts.
    std::string text;
    std::unique_ptr<mail_envelope> envelope = envelope_to_mail(message.envelope);
    std::unique_ptr<mail_body> body = body_to_mail(message.body, transfer_mode);
    message_output(*envelope, body.get(), [&](std::string_view piece) {
      text += piece;
      return true;
    });
    contents.text = std::move(text);
  }
  const bool eight_bit = std::any_of(contents.text->begin(), contents.text->end(), [](char c) {
    return static_cast<unsigned char>(c) > 127 || c == '\0';
  });
  out.encoding = eight_bit ? ENCODING_8BIT : ENCODING_7BIT;
  out.bytes = static_cast<std::uint32_t>(contents.text->size());
}

void set_contents(mail_body& out, std::uint16_t encoding, std::string text) {
  out.encoding = encoding;
  out.bytes = static_cast<std::uint32_t>(text.size());
  out.contents.text = std::move(text);
}

}  // namespace

std::uint16_t text_encoding(std::string_view text, int transfer_mode) {
  std::size_t seven_bit = 0;
  for (char c : text)
    seven_bit += c != '\0' && static_cast<unsigned char>(c) <= 127;
  const bool long_lines = has_long_line(text);
  if (seven_bit == text.size() && !long_lines) return ENCODING_7BIT;
  if (transfer_mode == kEightBitTransfer && !long_lines) return ENCODING_8BIT;
  if (text.size() - seven_bit <= text.size() / 6) return ENCODING_QUOTED_PRINTABLE;
  return ENCODING_BASE64;
}

std::unique_ptr<mail_body> body_to_mail(const CBody& body, int transfer_mode) {
  auto out = mail_new_body();
  out->type = body.type;
  out->subtype = optional_text(body.subtype);
  bool has_boundary = false;
  if (body.parameters) {
    std::unique_ptr<mail_parameter>* tail = &out->parameter_list;
    for (const auto& item : body.parameters->items) {
      auto parameter = mail_new_body_parameter();
      parameter->attribute = item->attribute;
      parameter->value = item->value;
      has_boundary = has_boundary || strcasecmp(item->attribute.c_str(), "BOUNDARY") == 0;
      *tail = std::move(parameter);
      tail = &(*tail)->next;
    }
  }
  out->id = optional_text(body.id);
  switch (body.type) {
    case TYPE_TEXT: {
      const std::uint16_t encoding = text_encoding(body.text, transfer_mode);
      if (encoding == ENCODING_BASE64) {
        set_contents(*out, encoding, rfc822_binary(body.text));
      } else if (encoding == ENCODING_QUOTED_PRINTABLE) {
        set_contents(*out, encoding, qprint_encode(body.text));
      } else {
        set_contents(*out, encoding, body.text);
      }
      break;
    }
    case TYPE_MULTIPART: {
      // A multipart keeps only its first parameter in the model; its parts
      // need a boundary all the same.
      if (!has_boundary) {
        std::unique_ptr<mail_parameter>* tail = &out->parameter_list;
        while (*tail)
          tail = &(*tail)->next;
        *tail = mail_new_body_parameter();
        (*tail)->attribute = "BOUNDARY";
        (*tail)->value = body_boundary_new();
      }
      std::unique_ptr<mail_body_part>* tail = &out->contents.part;
      if (const CPart* parts = body.part()) {
        for (const auto& item : parts->items) {
          *tail = mail_new_body_part();
          (*tail)->body = std::move(*body_to_mail(item->body, transfer_mode));
          tail = &(*tail)->next;
        }
      }
      break;
    }
    case TYPE_MESSAGE:
      if (const CMessage* message = body.message()) message_to_mail(*message, *out, transfer_mode);
      break;
    default: {
      const CHuge* huge = body.huge();
      set_contents(*out, ENCODING_BASE64, rfc822_binary(huge ? huge->bytes() : ""));
      break;
    }
  }
  return out;
}

std::unique_ptr<mail_envelope> envelope_to_mail(const CEnvelope& envelope) {
  auto out = mail_new_envelope();
  out->date = rfc822_date(envelope.date);
  out->from = address_list(envelope.from.get());
  out->subject = optional_text(envelope.subject);
  out->to = address_list(envelope.to.get());
  out->cc = address_list(envelope.cc.get());
  out->bcc = address_list(envelope.bcc.get());
  out->message_id = optional_text(envelope.message_id);
  return out;
}

bool letter_rfc822_text(const CAletter& letter, int transfer_mode, std::string& text) {
  std::unique_ptr<mail_envelope> envelope = envelope_to_mail(letter.envelope);
  std::unique_ptr<mail_body> body = body_to_mail(letter.body, transfer_mode);
  return message_output(*envelope, body.get(), [&](std::string_view piece) {
    text += piece;
    return true;
  });
}
