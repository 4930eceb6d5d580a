#include "model/letter_display.h"

#include <algorithm>

#include "platform/charset_reader.h"

namespace {

constexpr char32_t kLineFeed = 0x0A;
constexpr char32_t kReturn = 0x0D;

// Calls each(character, offset) for every character of the text as runs
// read it; with decoded, runs that carry a shown text give that instead
// (all its characters at the run's start).
template <class Each>
void read_runs(const letter_text& text, bool decoded, Each each) {
  const std::vector<text_run>& runs = text.runs;
  for (std::size_t i = 0; i < runs.size(); ++i) {
    std::size_t start = runs[i].start;
    std::size_t end = i + 1 < runs.size() ? runs[i + 1].start : text.bytes.size();
    if (decoded && runs[i].shown) {
      charset_reader("UTF-8").read(*runs[i].shown,
                                   [&](char32_t c, std::size_t) { each(c, start); });
      continue;
    }
    std::string_view bytes = std::string_view(text.bytes).substr(start, end - start);
    charset_reader reader(runs[i].charset);
    if (!reader.ok()) {
      // Runs name charsets iconv knows; a byte of one that it did not is
      // still shown, as what it stands for in Latin-1.
      for (std::size_t at = 0; at < bytes.size(); ++at)
        each(static_cast<unsigned char>(bytes[at]), start + at);
      continue;
    }
    reader.read(bytes, [&](char32_t c, std::size_t at) { each(c, start + at); });
  }
}

}  // namespace

std::size_t screen_text::byte_offset(std::size_t position) const {
  return offsets[std::min(position, offsets.size() - 1)];
}

std::size_t screen_text::position(std::size_t offset) const {
  return static_cast<std::size_t>(std::lower_bound(offsets.begin(), offsets.end(), offset) -
                                  offsets.begin());
}

screen_text letter_screen_text(const letter_text& text) {
  screen_text screen;
  screen.characters.reserve(text.bytes.size());
  screen.offsets.reserve(text.bytes.size() + 1);
  bool after_return = false;
  read_runs(text, true, [&](char32_t c, std::size_t offset) {
    // A carriage return ends a line; the line feed after it adds nothing.
    if (c == kLineFeed && after_return) {
      after_return = false;
      return;
    }
    after_return = c == kReturn;
    if (c == kReturn) c = kLineFeed;
    if (c >= 0x10000) {
      screen.characters += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
      screen.characters += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
      screen.offsets.push_back(offset);
      screen.offsets.push_back(offset);
      return;
    }
    screen.characters += static_cast<char16_t>(c);
    screen.offsets.push_back(offset);
  });
  screen.offsets.push_back(text.bytes.size());
  return screen;
}

std::string letter_text_utf8(const letter_text& text, bool decoded_words) {
  std::string utf8;
  utf8.reserve(text.bytes.size());
  read_runs(text, decoded_words, [&](char32_t c, std::size_t) { utf8_append(utf8, c); });
  return utf8;
}
