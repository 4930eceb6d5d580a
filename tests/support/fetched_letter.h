#pragma once

#include <memory>
#include <string>
#include <vector>

#include "model/letter_from_mail.h"
#include "message/body_section.h"
#include "message/envelope_parse.h"

// A letter text parsed, with the text of every part the fetch routine
// fetches put into its body structure, as a driver's fetches put them.
struct fetched_letter {
  std::string text;
  std::unique_ptr<mail_envelope> envelope;
  std::unique_ptr<mail_body> body;
  std::vector<std::string> sections;
};

inline fetched_letter fetched_letter_parse(std::string text) {
  fetched_letter letter{std::move(text), nullptr, nullptr, {}};
  text_source source;
  text_source_from_memory(source, letter.text);
  parsed_letter parsed = letter_parse(source, "example.cn");
  letter.envelope = std::move(parsed.envelope);
  letter.body = std::move(parsed.body);
  letter.sections = leaf_sections(*letter.body);
  for (const std::string& section : letter.sections) {
    auto place = body_section_find(*letter.body, parsed.body_offset, section);
    if (!place) continue;
    auto& body = const_cast<mail_body&>(*place->body);
    (body.type == TYPE_MESSAGE ? body.contents.message.text : body.contents.text) =
        letter.text.substr(place->offset, place->body->bytes);
  }
  return letter;
}
