#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "model/aletter.h"
#include "model/huge.h"
#include "model/message.h"
#include "model/part.h"

// Letters of the model built in one expression.

// An address list of one name and address.
inline std::unique_ptr<CAddress> one_address(std::string name, std::string address) {
  return std::make_unique<CAddress>(
      std::make_unique<CAddritem>(std::move(name), std::move(address)));
}

// A TEXT body; with a charset, its CHARSET parameter.
inline CBody text_body(std::string subtype, std::string text, std::string charset = "") {
  CBody body;
  body.subtype = std::move(subtype);
  body.text = std::move(text);
  if (!charset.empty()) {
    body.parameters = std::make_unique<CParameter>();
    body.parameters->items.push_back(std::make_unique<CParaitem>("CHARSET", std::move(charset)));
  }
  return body;
}

// A body of the type given whose contents are a block of these bytes.
inline CBody huge_body(std::uint16_t type, std::string subtype, std::string_view bytes) {
  CBody body;
  body.type = type;
  body.subtype = std::move(subtype);
  auto huge = std::make_unique<CHuge>();
  EXPECT_TRUE(huge->assign(bytes));
  body.contents = std::move(huge);
  return body;
}

// A MULTIPART body of these parts.
template <typename... Bodies>
CBody multipart(std::string subtype, Bodies... parts) {
  CBody body;
  body.type = 1;
  body.subtype = std::move(subtype);
  auto part = std::make_unique<CPart>();
  (part->items.push_back(std::make_unique<CPartitem>(std::move(parts))), ...);
  body.contents = std::move(part);
  return body;
}

// A MESSAGE/RFC822 body holding the letter given.
inline CBody message_body(std::unique_ptr<CMessage> message) {
  CBody body;
  body.type = 2;
  body.subtype = "RFC822";
  body.contents = std::move(message);
  return body;
}

// A letter as the list shows it, from one sender, its text "Text of SUBJECT".
inline std::unique_ptr<CAletter> listed_letter(const std::string& status, std::uint32_t size,
                                               const std::string& date, const std::string& name,
                                               const std::string& address,
                                               const std::string& subject) {
  return std::make_unique<CAletter>(
      CFlags(size, status),
      CEnvelope(subject, date, one_address(name, address), nullptr, nullptr, nullptr, ""),
      text_body("PLAIN", "Text of " + subject));
}

// A body tree in a line: type/subtype, ;ATTRIBUTE=value for each parameter,
// the id, then the text in quotes, a block's bytes in [], the parts in (),
// or an embedded letter's sender, subject and body in {}.
inline std::string model_body_shape(const CBody& body) {
  std::string out = std::to_string(body.type) + "/" + body.subtype;
  for (std::size_t i = 0; body.parameters && i < body.parameters->items.size(); ++i)
    out += ";" + body.parameters->items[i]->attribute + "=" + body.parameters->items[i]->value;
  if (!body.id.empty()) out += " " + body.id;
  if (const CPart* part = body.part()) {
    for (std::size_t i = 0; i < part->items.size(); ++i)
      out += (i ? ", " : " (") + model_body_shape(part->items[i]->body);
    return out + ")";
  }
  if (const CMessage* message = body.message()) {
    const CAddritem& from = *message->envelope.from->items.at(0);
    return out + " {" + from.name + " <" + from.address + "> " + message->envelope.subject + ", " +
           message->envelope.date + ": " + model_body_shape(message->body) + "}";
  }
  if (const CHuge* huge = body.huge()) return out + " [" + std::string(huge->bytes()) + "]";
  return out + " \"" + body.text + "\"";
}
