#include "message/quoted_printable.h"

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {

constexpr char kHex[] = "0123456789ABCDEF";
constexpr std::size_t kLineLimit = 75;  // characters before a soft line break

// Decoding tables: the bytes that are not copied as they stand, and the
// value of every hexadecimal digit (either case; -1 for other bytes).
struct decode_codes {
  bool special[256] = {};
  signed char hex[256] = {};
  constexpr decode_codes() {
    special[int{'='}] = special[int{'\r'}] = special[int{'\n'}] = true;
    for (int c = 0; c < 256; ++c)
      hex[c] = -1;
    for (int digit = 0; digit < 16; ++digit) {
      hex[static_cast<unsigned char>(kHex[digit])] = static_cast<signed char>(digit);
      hex[static_cast<unsigned char>("0123456789abcdef"[digit])] = static_cast<signed char>(digit);
    }
  }
};
constexpr decode_codes kCodes;

// A mark (high bit) in each byte of word that equals byte; only the lowest
// mark is sure to be right, which is the one the scan uses. Bytes are read
// low byte first.
static_assert(std::endian::native == std::endian::little);
std::uint64_t byte_marks(std::uint64_t word, unsigned char byte) {
  constexpr std::uint64_t kOnes = 0x0101010101010101u;
  constexpr std::uint64_t kHighs = 0x8080808080808080u;
  const std::uint64_t zeroed = word ^ (kOnes * byte);
  return (zeroed - kOnes) & ~zeroed & kHighs;
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
  auto* out = reinterpret_cast<unsigned char*>(bytes.data());
  unsigned char* kept = out;  // the output less the blanks that may still end a line
  const auto* in = reinterpret_cast<const unsigned char*>(text.data());
  const auto* const end = in + text.size();
  while (in < end) {
    // Eight bytes at a time up to the first one that needs a decision.
    while (end - in >= 8) {
      std::uint64_t word;
      std::memcpy(&word, in, 8);
      const std::uint64_t marks =
          byte_marks(word, '=') | byte_marks(word, '\r') | byte_marks(word, '\n');
      const int plain = marks ? std::countr_zero(marks) / 8 : 8;
      std::memcpy(out, in, 8);  // the output never runs ahead of the input
      unsigned char* last = out + plain;
      while (last != out && last[-1] == ' ')
        --last;
      if (last != out) kept = last;
      out += plain;
      in += plain;
      if (plain < 8) break;
    }
    if (in == end) break;
    const unsigned char c = *in++;
    if (!kCodes.special[c]) {
      *out++ = c;
      kept = c == ' ' ? kept : out;  // a blank may still end its line
      continue;
    }
    if (c != '=') {  // a line end: blanks before it are dropped
      out = kept;
      *out++ = c;
      kept = out;
      continue;
    }
    if (in == end) break;              // "=" at the very end vanishes
    if (*in == '\r' || *in == '\n') {  // soft line break
      if (*in++ == '\r' && in < end && *in == '\n') ++in;
      continue;
    }
    const int high = kCodes.hex[*in];
    const int low = in + 1 < end ? kCodes.hex[in[1]] : -1;
    if ((high | low) < 0) return std::nullopt;
    *out++ = static_cast<unsigned char>(high << 4 | low);
    kept = out;
    in += 2;
  }
  bytes.resize(static_cast<std::size_t>(out - reinterpret_cast<unsigned char*>(bytes.data())));
  return bytes;
}
