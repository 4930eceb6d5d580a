#include "message/base64.h"

#include <array>
#include <cstdint>

#include "message/callbacks.h"
#include "message/rfc822_binary.h"

namespace {

constexpr std::uint32_t kNotBase64 = 0x80000000u;

// The 6-bit value of every byte, shifted to its place in a group of four;
// kNotBase64 for bytes outside the alphabet. Four tables let the common case
// decode a whole group with one test.
struct decode_tables {
  std::array<std::array<std::uint32_t, 256>, 4> shifted{};
  constexpr decode_tables() {
    for (auto& table : shifted)
      table.fill(kNotBase64);
    for (std::uint32_t value = 0; value < 64; ++value) {
      auto byte = static_cast<unsigned char>(kBase64Alphabet[value]);
      for (int place = 0; place < 4; ++place)
        shifted[place][byte] = value << (18 - 6 * place);
    }
  }
};
constexpr decode_tables kDecode;

}  // namespace

bool base64_decoder::feed(std::string_view text, std::string& bytes) {
  if (failed_) return false;
  const std::size_t old_size = bytes.size();
  bytes.resize(old_size + text.size() / 4 * 3 + 4);
  auto* out = reinterpret_cast<unsigned char*>(bytes.data()) + old_size;
  const auto* in = reinterpret_cast<const unsigned char*>(text.data());
  const auto* end = in + text.size();
  if (second_pad_due_ && in < end) {
    if (*in++ != '=') failed_ = true;
    second_pad_due_ = false;
  }
  while (in < end && !failed_) {
    if (place_ == 0) {
      // Whole groups without line breaks or padding: the bulk of any text.
      while (end - in >= 4) {
        const std::uint32_t group = kDecode.shifted[0][in[0]] | kDecode.shifted[1][in[1]] |
                                    kDecode.shifted[2][in[2]] | kDecode.shifted[3][in[3]];
        if (group & kNotBase64) break;
        out[0] = static_cast<unsigned char>(group >> 16);
        out[1] = static_cast<unsigned char>(group >> 8);
        out[2] = static_cast<unsigned char>(group);
        out += 3;
        in += 4;
      }
      if (in == end) break;
    }
    const unsigned char c = *in++;
    const std::uint32_t value = kDecode.shifted[3][c];
    if (value != kNotBase64) {
      switch (place_) {
        case 0:
          held_ = value;
          break;
        case 1:
          *out++ = static_cast<unsigned char>(held_ << 2 | value >> 4);
          held_ = value & 0x0f;
          break;
        case 2:
          *out++ = static_cast<unsigned char>(held_ << 4 | value >> 2);
          held_ = value & 0x03;
          break;
        default:
          *out++ = static_cast<unsigned char>(held_ << 6 | value);
          break;
      }
      place_ = (place_ + 1) % 4;
    } else if (c == '=') {
      // "=" ends a group in its last place; in the third it must be
      // followed at once by a second "="; earlier it is an error.
      if (place_ < 2) {
        failed_ = true;
      } else if (place_ == 2 && in == end) {
        second_pad_due_ = true;
      } else if (place_ == 2 && *in++ != '=') {
        failed_ = true;
      }
      place_ = 0;
    }
  }
  bytes.resize(static_cast<std::size_t>(out - reinterpret_cast<unsigned char*>(bytes.data())));
  return !failed_;
}

std::optional<std::string> base64_decode(std::string_view text) {
  base64_decoder decoder;
  std::string bytes;
  if (!decoder.feed(text, bytes) || !decoder.finish()) return std::nullopt;
  return bytes;
}
