#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "message/records.h"

// Where one section of a letter's body lies.
struct body_section_place {
  const mail_body* body;
  std::uint32_t offset;  // where its text begins (its length is body->bytes)
};

// Finds a section given as dotted part numbers ("1", "2.1"): each number
// picks a part of a multipart body, a body that is not multipart answers
// only to 1, and after an embedded message the next number applies to that
// message's body. offset is where the body's own text begins. Nothing for a
// malformed or missing section, or one that is itself multipart.
std::optional<body_section_place> body_section_find(const mail_body& body, std::uint32_t offset,
                                                    std::string_view section);

// The sections of the parts whose texts the fetch routine fetches: the
// leaves of the body, and each embedded message as well as its own leaves,
// numbered "1", "2.1"... as servers number them.
std::vector<std::string> leaf_sections(const mail_body& body);
