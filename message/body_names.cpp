#include "message/body_names.h"

#include <array>

namespace {

std::array<mail_text, 16>& type_table() {
  static std::array<mail_text, 16> table = {
      "TEXT", "MULTIPART", "MESSAGE", "APPLICATION", "AUDIO", "IMAGE", "VIDEO", "X-UNKNOWN",
  };
  return table;
}

std::array<mail_text, 11>& encoding_table() {
  static std::array<mail_text, 11> table = {
      "7BIT", "8BIT", "BINARY", "BASE64", "QUOTED-PRINTABLE", "X-UNKNOWN",
  };
  return table;
}

// The search stops at the first free slot, which takes the new name.
template <std::size_t Size>
std::uint16_t find_or_enter(std::array<mail_text, Size>& table, std::string_view name,
                            std::uint16_t overflow) {
  for (std::uint16_t index = 0; index < Size; ++index) {
    mail_text& slot = table[index];
    if (!slot) {
      slot = std::string(name);
      return index;
    }
    if (*slot == name) return index;
  }
  return overflow;
}

template <std::size_t Size>
std::string_view name_of(const std::array<mail_text, Size>& table, std::uint16_t index) {
  if (index < Size && table[index]) return *table[index];
  return "X-UNKNOWN";
}

}  // namespace

std::span<const mail_text> body_type_names() {
  return type_table();
}
std::span<const mail_text> body_encoding_names() {
  return encoding_table();
}

std::uint16_t body_type_find(std::string_view name) {
  return find_or_enter(type_table(), name, TYPE_OTHER);
}
std::uint16_t body_encoding_find(std::string_view name) {
  return find_or_enter(encoding_table(), name, ENCODING_OTHER);
}

std::string_view body_type_name(std::uint16_t type) {
  return name_of(type_table(), type);
}
std::string_view body_encoding_name(std::uint16_t encoding) {
  return name_of(encoding_table(), encoding);
}

const char* default_subtype_name(std::uint16_t type) {
  switch (type) {
    case TYPE_TEXT:
      return "PLAIN";
    case TYPE_MULTIPART:
      return "MIXED";
    case TYPE_MESSAGE:
      return "RFC822";
    case TYPE_APPLICATION:
      return "OCTET-STREAM";
    case TYPE_AUDIO:
      return "BASIC";
    default:
      return "UNKNOWN";
  }
}
