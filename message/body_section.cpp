#include "message/body_section.h"

#include <charconv>

std::optional<body_section_place> body_section_find(const mail_body& body, std::uint32_t offset,
                                                    std::string_view section) {
  body_section_place place{&body, offset};
  const char* cursor = section.data();
  const char* end = cursor + section.size();
  if (cursor == end) return std::nullopt;
  for (;;) {
    std::uint32_t number = 0;
    auto [stop, error] = std::from_chars(cursor, end, number);
    if (error != std::errc() || number == 0) return std::nullopt;
    cursor = stop;
    const mail_body& current = *place.body;
    if (current.type == TYPE_MULTIPART) {
      const mail_body_part* part = current.contents.part.get();
      for (std::uint32_t n = 1; part && n < number; ++n)
        part = part->next.get();
      if (!part) return std::nullopt;
      place = {&part->body, part->offset};
    } else if (number != 1) {
      return std::nullopt;
    }
    if (cursor == end) break;
    if (*cursor++ != '.' || cursor == end) return std::nullopt;
    const mail_body& chosen = *place.body;
    if (chosen.type == TYPE_MESSAGE && chosen.contents.message.body) {
      place = {chosen.contents.message.body.get(), chosen.contents.message.offset};
    }
  }
  if (place.body->type == TYPE_MULTIPART) return std::nullopt;
  return place;
}

namespace {

void body_sections(const mail_body& body, const std::string& prefix, unsigned long number,
                   std::vector<std::string>& sections);

void part_sections(const mail_body& multipart, const std::string& prefix,
                   std::vector<std::string>& sections) {
  unsigned long number = 0;
  for (const mail_body_part* part = multipart.contents.part.get(); part; part = part->next.get())
    body_sections(part->body, prefix, ++number, sections);
}

void body_sections(const mail_body& body, const std::string& prefix, unsigned long number,
                   std::vector<std::string>& sections) {
  const std::string section = prefix + std::to_string(number);
  if (body.type == TYPE_MULTIPART) {
    part_sections(body, section + ".", sections);
    return;
  }
  sections.push_back(section);
  const mail_body* inner = body.type == TYPE_MESSAGE ? body.contents.message.body.get() : nullptr;
  if (!inner) return;
  // An embedded multipart's parts follow the message's own number.
  if (inner->type == TYPE_MULTIPART) {
    part_sections(*inner, section + ".", sections);
  } else {
    body_sections(*inner, section + ".", 1, sections);
  }
}

}  // namespace

std::vector<std::string> leaf_sections(const mail_body& body) {
  std::vector<std::string> sections;
  if (body.type == TYPE_MULTIPART) {
    part_sections(body, "", sections);
  } else {
    body_sections(body, "", 1, sections);
  }
  return sections;
}
