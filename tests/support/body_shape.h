#pragma once

#include <string>

#include "message/body_names.h"
#include "message/records.h"

// The shape of a body tree: "MULTIPART/MIXED(TEXT/PLAIN,MESSAGE/RFC822(TEXT/PLAIN))".
inline std::string body_shape(const mail_body& body) {
  std::string shape = std::string(body_type_name(body.type)) + "/" + body.subtype.value_or("");
  if (body.type == TYPE_MULTIPART) {
    shape += "(";
    for (const mail_body_part* part = body.contents.part.get(); part; part = part->next.get()) {
      shape += body_shape(part->body) + (part->next ? "," : "");
    }
    shape += ")";
  } else if (body.type == TYPE_MESSAGE && body.contents.message.body) {
    shape += "(" + body_shape(*body.contents.message.body) + ")";
  }
  return shape;
}
