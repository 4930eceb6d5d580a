#pragma once

#include <string>
#include <vector>

#include "message/body_names.h"
#include "message/records.h"
#include "tests/support/log_capture.h"

// Records of a parsed message in one line each, for tests to compare whole.

// An address list: "personal<route:mailbox@host>" for each element, absent
// parts left out and an absent mailbox or host as "-" (so a group start shows
// as "<name@->" and a group end as "<-@->").
inline std::string address_summary(const mail_address* list) {
  std::string text;
  for (; list; list = list->next.get())
    text += list->personal.value_or("") + "<" + (list->route ? *list->route + ":" : "") +
            list->mailbox.value_or("-") + "@" + list->host.value_or("-") + ">";
  return text;
}

// The fields of an envelope that are present (not empty), as
// "date=...|from=Joe<joe@x.test>|subject=...|".
inline std::string envelope_summary(const mail_envelope& e) {
  auto field = [](const char* name, const std::string& value) {
    return value.empty() ? "" : std::string(name) + "=" + value + "|";
  };
  return field("date", e.date.value_or("")) + field("from", address_summary(e.from.get())) +
         field("sender", address_summary(e.sender.get())) +
         field("reply_to", address_summary(e.reply_to.get())) +
         field("subject", e.subject.value_or("")) + field("to", address_summary(e.to.get())) +
         field("cc", address_summary(e.cc.get())) + field("bcc", address_summary(e.bcc.get())) +
         field("in_reply_to", e.in_reply_to.value_or("")) +
         field("message_id", e.message_id.value_or("")) +
         field("newsgroups", e.newsgroups.value_or(""));
}

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

// A body tree in one line: each body's summary, bytes and lines, then its
// parts or the embedded message's body in parentheses.
inline std::string body_tree(const mail_body& body) {
  std::string text =
      body_summary(body) + " " + std::to_string(body.bytes) + " " + std::to_string(body.lines);
  for (const mail_body_part* part = body.contents.part.get(); part; part = part->next.get())
    text += (part == body.contents.part.get() ? " (" : ", ") + body_tree(part->body) +
            (part->next ? "" : ")");
  if (body.contents.message.body) text += " (" + body_tree(*body.contents.message.body) + ")";
  return text;
}

// What a table row expects the log to hold: its one report at the parse
// level, or nothing when the row gives none.
inline std::vector<log_capture::entry> parse_reports(const std::string& report) {
  if (report.empty()) return {};
  return {{report, LOG_PARSE}};
}
