#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "message/records.h"

// The names behind the numeric type and encoding of a mail_body. The fixed
// slots (TYPE_TEXT..TYPE_OTHER, ENCODING_7BIT..ENCODING_OTHER) never change;
// the free slots after them are filled, for the life of the program, by the
// new names that letters bring. An unfilled slot is absent.
std::span<const mail_text> body_type_names();      // 16 slots
std::span<const mail_text> body_encoding_names();  // 11 slots

// The index of an upper-case name, entering it into the first free slot when
// it is new; TYPE_OTHER or ENCODING_OTHER once the table is full.
std::uint16_t body_type_find(std::string_view name);
std::uint16_t body_encoding_find(std::string_view name);

// The name of an index, "X-UNKNOWN" for an index without one.
std::string_view body_type_name(std::uint16_t type);
std::string_view body_encoding_name(std::uint16_t encoding);

// "PLAIN", "MIXED", "RFC822", "OCTET-STREAM", "BASIC", else "UNKNOWN".
const char* default_subtype_name(std::uint16_t type);
