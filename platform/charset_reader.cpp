#include "platform/charset_reader.h"

#include <algorithm>
#include <cerrno>

namespace {

constexpr char32_t kReplacement = 0xFFFD;
constexpr std::size_t kLongestName = 64;
// Bytes iconv sees at a time: more than any character and its shifts take.
constexpr std::size_t kWindow = 16;

// Names are plain words: iconv would take "//" as options of its own.
bool plain_name(std::string_view name) {
  if (name.empty() || name.size() > kLongestName) return false;
  for (char c : name)
    if (c <= ' ' || c > '~' || c == '/' || c == ',') return false;
  return true;
}

char32_t character_at(const unsigned char* utf32le) {
  return static_cast<char32_t>(utf32le[0]) | static_cast<char32_t>(utf32le[1]) << 8 |
         static_cast<char32_t>(utf32le[2]) << 16 | static_cast<char32_t>(utf32le[3]) << 24;
}

}  // namespace

charset_reader::charset_reader(std::string_view charset) {
  if (!plain_name(charset)) return;
  converter_ = iconv_open("UTF-32LE", std::string(charset).c_str());
  if (!ok()) return;
  // A charset that reads every byte below 0x80 alone as itself, with no
  // shifting, lets those bytes skip iconv between characters.
  ascii_ = true;
  for (int byte = 0; byte < 0x80 && ascii_; ++byte) {
    char in_byte = static_cast<char>(byte);
    unsigned char out[8];
    char* in = &in_byte;
    std::size_t in_left = 1;
    char* out_at = reinterpret_cast<char*>(out);
    std::size_t out_left = sizeof out;
    iconv(converter_, nullptr, nullptr, nullptr, nullptr);
    std::size_t result = iconv(converter_, &in, &in_left, &out_at, &out_left);
    ascii_ = result != static_cast<std::size_t>(-1) && in_left == 0 && out_left == 4 &&
             character_at(out) == static_cast<char32_t>(byte);
  }
  iconv(converter_, nullptr, nullptr, nullptr, nullptr);
}

charset_reader::~charset_reader() {
  if (ok()) iconv_close(converter_);
}

void charset_reader::read(std::string_view bytes,
                          const std::function<void(char32_t, std::size_t)>& each) {
  if (!ok()) return;
  iconv(converter_, nullptr, nullptr, nullptr, nullptr);
  std::size_t at = 0;
  unsigned char out[64];
  while (at < bytes.size()) {
    auto byte = static_cast<unsigned char>(bytes[at]);
    if (ascii_ && byte < 0x80) {
      each(byte, at);
      ++at;
      continue;
    }
    // Room for one character makes iconv stop after it; a character that
    // stands for several (some HKSCS codes stand for two) gets more room.
    // iconv sees only a few bytes ahead: given the whole rest, it would
    // convert far ahead and throw that away again for every character.
    std::size_t produced = 0;
    std::size_t used = 0;
    const std::size_t rest = bytes.size() - at;
    std::size_t window = std::min(rest, kWindow);
    std::size_t room = 4;
    for (;;) {
      char* in = const_cast<char*>(bytes.data() + at);
      std::size_t in_left = window;
      char* out_at = reinterpret_cast<char*>(out);
      std::size_t out_left = room;
      std::size_t result = iconv(converter_, &in, &in_left, &out_at, &out_left);
      used = window - in_left;
      produced = (room - out_left) / 4;
      if (produced || used || result != static_cast<std::size_t>(-1)) break;
      if (errno == E2BIG && room < sizeof out) {
        room += 4;
      } else if (errno == EINVAL && window < rest) {
        window = std::min(rest, window * 4);
      } else {
        break;
      }
    }
    if (!produced && !used) {
      // An unreadable byte, or the text ends inside a character.
      each(kReplacement, at);
      ++at;
      iconv(converter_, nullptr, nullptr, nullptr, nullptr);
      continue;
    }
    for (std::size_t i = 0; i < produced; ++i)
      each(character_at(out + 4 * i), at);
    if (ascii_) {
      // Bytes below 0x80 skip iconv next, so what it holds back (the second
      // character of a pair) comes out now.
      char* out_at = reinterpret_cast<char*>(out);
      std::size_t out_left = sizeof out;
      iconv(converter_, nullptr, nullptr, &out_at, &out_left);
      for (std::size_t i = 0; i < (sizeof out - out_left) / 4; ++i)
        each(character_at(out + 4 * i), at);
    }
    at += used;
  }
  // What a stateful charset still holds.
  char* out_at = reinterpret_cast<char*>(out);
  std::size_t out_left = sizeof out;
  iconv(converter_, nullptr, nullptr, &out_at, &out_left);
  for (std::size_t i = 0; i < (sizeof out - out_left) / 4; ++i)
    each(character_at(out + 4 * i), bytes.size());
}

bool charset_known(std::string_view charset) {
  return charset_reader(charset).ok();
}

std::optional<std::string> charset_to_utf8(std::string_view bytes, std::string_view charset) {
  charset_reader reader(charset);
  if (!reader.ok()) return std::nullopt;
  std::string text;
  text.reserve(bytes.size());
  reader.read(bytes, [&](char32_t character, std::size_t) { utf8_append(text, character); });
  return text;
}

void utf8_append(std::string& text, char32_t c) {
  if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = kReplacement;
  if (c < 0x80) {
    text += static_cast<char>(c);
  } else if (c < 0x800) {
    text += static_cast<char>(0xC0 | c >> 6);
    text += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    text += static_cast<char>(0xE0 | c >> 12);
    text += static_cast<char>(0x80 | (c >> 6 & 0x3F));
    text += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    text += static_cast<char>(0xF0 | c >> 18);
    text += static_cast<char>(0x80 | (c >> 12 & 0x3F));
    text += static_cast<char>(0x80 | (c >> 6 & 0x3F));
    text += static_cast<char>(0x80 | (c & 0x3F));
  }
}
