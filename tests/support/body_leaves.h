#pragma once

#include <string>
#include <vector>

#include "message/body_names.h"
#include "message/records.h"

// The sections of every leaf of a body, numbered as the fetch routine numbers
// them; an embedded message is a leaf itself and also has leaves of its own.
inline void leaf_sections(const mail_body& body, const std::string& prefix,
                          std::vector<std::string>& sections) {
  if (body.type == TYPE_MULTIPART) {
    int n = 0;
    for (const mail_body_part* part = body.contents.part.get(); part; part = part->next.get()) {
      std::string number = std::to_string(++n);
      leaf_sections(part->body, prefix.empty() ? number : prefix + "." + number, sections);
    }
    return;
  }
  std::string here = prefix.empty() ? "1" : prefix;
  sections.push_back(here);
  if (body.type == TYPE_MESSAGE && body.contents.message.body) {
    const mail_body& inner = *body.contents.message.body;
    leaf_sections(inner, inner.type == TYPE_MULTIPART ? here : here + ".1", sections);
  }
}

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
