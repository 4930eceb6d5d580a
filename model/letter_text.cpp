#include "model/letter_text.h"

#include <cstdio>

#include "model/encoded_words.h"
#include "model/letter_format.h"
#include "model/message.h"
#include "model/part.h"
#include "platform/charset_reader.h"
#include "platform/display_codec.h"

namespace {

constexpr std::uint16_t kMultipart = 1;
constexpr std::uint16_t kMessage = 2;
constexpr std::size_t kDateWidth = 11;
constexpr std::size_t kSenderWidth = 16;
constexpr std::size_t kSenderColumns = 35;
constexpr std::size_t kSubjectWidth = 90;
constexpr std::size_t kFileNameLength = 8;

// Drops what a file name cannot hold (and blanks, unless kept), keeping at
// most limit characters.
std::string file_name_of(std::string_view utf8, std::size_t limit, bool keep_blanks) {
  std::string name;
  std::size_t count = 0;
  charset_reader("UTF-8").read(utf8, [&](char32_t c, std::size_t) {
    bool blank = c == ' ' || c == 0xA0 || c == 0x1680 || (c >= 0x2000 && c <= 0x200A) ||
                 c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F || c == 0x3000;
    bool unfit =
        c < 0x20 || c == 0x7F || (c >= 0x80 && c < 0xA0) || c == '/' || c == '\\' || c == 0xFFFD;
    if (unfit || (blank && !keep_blanks) || (limit && count >= limit)) return;
    utf8_append(name, c);
    ++count;
  });
  return name == "." || name == ".." ? std::string() : name;
}

}  // namespace

std::string letter_sender(const CAletter& letter, std::string_view someone) {
  const CAddress* from = letter.envelope.from.get();
  if (!from || from->items.empty()) return std::string(someone);
  const CAddritem& first = *from->items.front();
  if (!first.name.empty()) return first.name;
  if (!first.address.empty()) return first.address;
  return std::string(someone);
}

std::string letter_list_line(const CAletter& letter, std::size_t index, std::string_view someone,
                             std::optional<long> decode_platform) {
  const CFlags& flags = letter.flags;
  char mark = ' ';
  if (flags.mark(2) == 'D') {
    mark = 'D';
  } else if (flags.mark(1) == 'A') {
    mark = 'A';
  } else if (flags.mark(0) == 'N') {
    mark = 'N';
  }
  char number[32];
  std::snprintf(number, sizeof number, " %3zu ", index + 1);
  std::string line(1, mark);
  line += number;
  line += letter.envelope.date.substr(0, kDateWidth) + " ";
  auto decoded = [&](std::string text) {
    if (!decode_platform || text.find("=?") == std::string::npos) return text;
    return display_codec(*decode_platform)
        .from_utf8(header_text_utf8(text, display_charset(*decode_platform)));
  };
  line += decoded(letter_sender(letter, someone)).substr(0, kSenderWidth) + " ";
  if (line.size() < kSenderColumns) line.resize(kSenderColumns, ' ');
  char size[32];
  std::snprintf(size, sizeof size, " (%5u) ", static_cast<unsigned>(flags.size));
  line += size;
  line += decoded(letter.envelope.subject).substr(0, kSubjectWidth);
  return line;
}

std::string letter_display_text(const CAletter& letter, long platform) {
  letter_format format;
  format.labels = letter_labels::chinese;
  format.platform = platform;
  return format_letter(letter, format).bytes;
}

const CBody* letter_section(const CBody& top, std::string_view section) {
  const CBody* body = &top;
  while (true) {
    const std::size_t dot = section.find('.');
    const std::string_view digits = section.substr(0, dot);
    if (digits.empty() || digits.size() > 9 ||
        digits.find_first_not_of("0123456789") != std::string_view::npos) {
      return nullptr;
    }
    const std::size_t number = std::stoul(std::string(digits));
    if (number == 0) return nullptr;
    if (body->type == kMultipart) {
      const CPart* parts = body->part();
      if (!parts || number > parts->items.size()) return nullptr;
      body = &parts->items[number - 1]->body;
    } else if (number != 1) {
      return nullptr;
    }
    if (dot == std::string_view::npos) return body;
    section.remove_prefix(dot + 1);
    if (body->type == kMessage) {
      const CMessage* message = body->message();
      if (!message) return nullptr;
      body = &message->body;
    } else if (body->type != kMultipart) {
      return nullptr;
    }
  }
}

std::string letter_caption(const CAletter& letter, std::string_view someone, long platform) {
  const char* charset = display_charset(platform);
  const CAddress* from = letter.envelope.from.get();
  std::string sender = from && !from->items.empty() ? letter_sender(letter, "") : "";
  std::string caption = sender.empty() ? std::string(someone) : header_text_utf8(sender, charset);
  caption += "; " + header_text_utf8(letter.envelope.date, charset);
  caption += "; " + header_text_utf8(letter.envelope.subject, charset);
  return caption;
}

std::string letter_file_name(const CAletter& letter, long platform) {
  return file_name_of(header_text_utf8(letter.envelope.subject, display_charset(platform)),
                      kFileNameLength, false);
}

std::string part_file_name(const CBody& body, long platform) {
  if (!body.parameters) return {};
  for (std::string_view attribute : {"name", "filename"}) {
    if (std::optional<std::string> name =
            parameter_shown(*body.parameters, attribute, display_charset(platform)))
      return file_name_of(*name, 0, true);
  }
  return {};
}
