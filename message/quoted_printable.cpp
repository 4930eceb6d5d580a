#include "message/quoted_printable.h"

#include <cstddef>

namespace {

constexpr char kHex[] = "0123456789ABCDEF";
constexpr std::size_t kLineLimit = 75;  // characters before a soft line break

int hex_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

bool printable(unsigned char c) {
  return c >= 0x20 && c < 0x7f && c != '=';
}

}  // namespace

std::string qprint_encode(std::string_view bytes) {
  std::string text;
  text.reserve(bytes.size() / 75 + 3 * bytes.size() + 2);
  std::size_t line = 0;
  const std::size_t size = bytes.size();
  for (std::size_t i = 0; i < size; ++i) {
    const auto c = static_cast<unsigned char>(bytes[i]);
    if (c == '\r' && i + 1 < size && bytes[i + 1] == '\n') {
      text += "\r\n";
      ++i;
      line = 0;
      continue;
    }
    // A blank before a line end, or at the very end (the writer puts a line
    // end after the text), would be dropped by the decoder: encode it.
    const bool exposed_blank = c == ' ' && (i + 1 == size || bytes[i + 1] == '\r');
    if (printable(c) && !exposed_blank) {
      if (++line > kLineLimit) {
        text += "=\r\n";
        line = 1;
      }
      text += static_cast<char>(c);
    } else {
      if ((line += 3) > kLineLimit) {
        text += "=\r\n";
        line = 3;
      }
      text += '=';
      text += kHex[c >> 4];
      text += kHex[c & 0x0f];
    }
  }
  return text;
}

std::optional<std::string> qprint_decode(std::string_view text) {
  std::string bytes;
  bytes.resize(text.size());
  char* out = bytes.data();
  char* kept = out;  // the output less the blanks that may still end a line
  const std::size_t size = text.size();
  for (std::size_t i = 0; i < size; ++i) {
    const char c = text[i];
    switch (c) {
      case '=': {
        if (i + 1 == size) break;
        const char next = text[i + 1];
        if (next == '\r' || next == '\n') {  // soft line break
          ++i;
          if (next == '\r' && i + 1 < size && text[i + 1] == '\n') ++i;
          break;
        }
        const int high = hex_value(next);
        const int low = i + 2 < size ? hex_value(text[i + 2]) : -1;
        if (high < 0 || low < 0) return std::nullopt;
        *out++ = static_cast<char>(high << 4 | low);
        kept = out;
        i += 2;
        break;
      }
      case '\r':
      case '\n':
        out = kept;
        *out++ = c;
        kept = out;
        break;
      case ' ':
        *out++ = c;
        break;
      default:
        *out++ = c;
        kept = out;
        break;
    }
  }
  bytes.resize(static_cast<std::size_t>(out - bytes.data()));
  return bytes;
}
