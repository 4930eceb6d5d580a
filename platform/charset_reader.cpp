#include "platform/charset_reader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>

namespace {

constexpr char32_t kReplacement = 0xFFFD;
constexpr std::size_t kLongestName = 64;
// Bytes iconv sees at a time, enough for one character of most charsets;
// more when a character needs them.
constexpr std::size_t kWindow = 4;

// Names are plain words: iconv would take "//" as options of its own.
bool plain_name(std::string_view name) {
  if (name.empty() || name.size() > kLongestName) return false;
  for (char c : name)
    if (c <= ' ' || c > '~' || c == '/' || c == ',') return false;
  return true;
}

// glibc's own wide characters (UCS-4 in the machine's order): converting to
// them is one step, where UTF-32LE would take a second.
constexpr const char* kWide = "WCHAR_T";
static_assert(sizeof(wchar_t) == 4, "wide characters of glibc are UCS-4");

char32_t character_at(const unsigned char* wide) {
  wchar_t character;
  std::memcpy(&character, wide, sizeof character);
  return static_cast<char32_t>(character);
}

}  // namespace

charset_reader::charset_reader(std::string_view charset) {
  if (!plain_name(charset)) return;
  converter_ = iconv_open(kWide, std::string(charset).c_str());
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
  std::optional<std::size_t> shifted_from;
  unsigned char out[64];
  while (at < bytes.size()) {
    auto byte = static_cast<unsigned char>(bytes[at]);
    if (ascii_ && byte < 0x80) {
      each(byte, shifted_from.value_or(at));
      shifted_from.reset();
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
      each(kReplacement, shifted_from.value_or(at));
      shifted_from.reset();
      ++at;
      iconv(converter_, nullptr, nullptr, nullptr, nullptr);
      continue;
    }
    // Shifts read without a character belong to the character after them.
    if (!produced) {
      if (!shifted_from) shifted_from = at;
      at += used;
      continue;
    }
    const std::size_t begins = shifted_from.value_or(at);
    shifted_from.reset();
    for (std::size_t i = 0; i < produced; ++i)
      each(character_at(out + 4 * i), begins);
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
  char bytes[4];
  std::size_t count;
  if (c < 0x80) {
    bytes[0] = static_cast<char>(c);
    count = 1;
  } else if (c < 0x800) {
    bytes[0] = static_cast<char>(0xC0 | c >> 6);
    bytes[1] = static_cast<char>(0x80 | (c & 0x3F));
    count = 2;
  } else if (c < 0x10000) {
    bytes[0] = static_cast<char>(0xE0 | c >> 12);
    bytes[1] = static_cast<char>(0x80 | (c >> 6 & 0x3F));
    bytes[2] = static_cast<char>(0x80 | (c & 0x3F));
    count = 3;
  } else {
    bytes[0] = static_cast<char>(0xF0 | c >> 18);
    bytes[1] = static_cast<char>(0x80 | (c >> 12 & 0x3F));
    bytes[2] = static_cast<char>(0x80 | (c >> 6 & 0x3F));
    bytes[3] = static_cast<char>(0x80 | (c & 0x3F));
    count = 4;
  }
  text.append(bytes, count);
}
