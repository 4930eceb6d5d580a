#include "message/rfc822_binary.h"

#include <cstdint>

#include "message/callbacks.h"

std::string rfc822_binary(std::string_view bytes) {
  const std::size_t groups = (bytes.size() + 2) / 3;
  const std::size_t expected = groups * 4 + groups / 15 * 2 + 2;
  std::string text;
  text.resize(expected);
  char* out = text.data();
  const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
  std::size_t left = bytes.size();
  for (std::size_t group = 1; group <= groups; ++group, in += 3) {
    const std::uint32_t triple = (std::uint32_t{in[0]} << 16) |
                                 (left > 1 ? std::uint32_t{in[1]} << 8 : 0) |
                                 (left > 2 ? std::uint32_t{in[2]} : 0);
    *out++ = kBase64Alphabet[triple >> 18];
    *out++ = kBase64Alphabet[(triple >> 12) & 0x3f];
    *out++ = left > 1 ? kBase64Alphabet[(triple >> 6) & 0x3f] : '=';
    *out++ = left > 2 ? kBase64Alphabet[triple & 0x3f] : '=';
    left = left > 3 ? left - 3 : 0;
    if (group % 15 == 0) {
      *out++ = '\r';
      *out++ = '\n';
    }
  }
  *out++ = '\r';
  *out++ = '\n';
  if (static_cast<std::size_t>(out - text.data()) != expected)
    mail_fatal("rfc822_binary logic flaw");
  return text;
}
