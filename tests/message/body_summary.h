#pragma once

#include <string>

#include "message/body_names.h"
#include "message/records.h"

// A body's own fields in one line: "TEXT/PLAIN BASE64 CHARSET=big5 id=<x>
// description=a file", an absent subtype or value as "-".
inline std::string body_summary(const mail_body& body) {
  std::string text = std::string(body_type_name(body.type)) + "/" + body.subtype.value_or("-") +
                     " " + std::string(body_encoding_name(body.encoding));
  for (const mail_parameter* p = body.parameter_list.get(); p; p = p->next.get())
    text += " " + p->attribute.value_or("-") + "=" + p->value.value_or("-");
  if (body.id) text += " id=" + *body.id;
  if (body.description) text += " description=" + *body.description;
  return text;
}
