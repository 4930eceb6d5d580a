#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "chinese/byte_writer.h"

// Writes ISO-2022-CN: ASCII as it is, and characters of a designated set
// with the designation, shift and 7-bit pair they need. Designations are
// forgotten at every line feed, so each line carries its own.
class iso2022cn_writer {
 public:
  // At most the bytes one character needs: designation, shift and pair.
  static constexpr std::size_t kMostPerCharacter = 8;

  char* ascii(char* out, std::uint8_t byte);
  // The pair of a set by its final byte ('A' GB 2312, 'G' and 'H' CNS planes
  // 1 and 2, ...), in the register that set goes to.
  char* character(char* out, char final, std::uint8_t first, std::uint8_t second);
  // SI when shifted, so nothing joined after the text is read as Chinese.
  char* finish(char* out);

 private:
  bool shifted_ = false;
  std::array<char, 4> finals_{};  // by register
};

// Runs a converter's step over the input a block at a time, with room for
// the most a block can give: step(i, out) reads from position i (at least one
// byte, and at most `overrun` bytes past the block's end), writes at most
// kMostPerCharacter bytes through out and returns the next position. Ends the
// text with writer.finish.
template <typename Step>
void iso2022cn_encode(std::string_view input, std::string& output, std::size_t overrun,
                      iso2022cn_writer& writer, Step step) {
  constexpr std::size_t kBlock = 4096;
  const std::size_t room = (kBlock + overrun) * iso2022cn_writer::kMostPerCharacter + 1;
  byte_writer bytes(output, input.size() + input.size() / 4);
  std::size_t i = 0;
  while (i < input.size()) {
    std::size_t block_end = std::min(input.size(), i + kBlock);
    char* out = bytes.claim(room);
    while (i < block_end)
      i = step(i, out);
    bytes.release(out);
  }
  bytes.release(writer.finish(bytes.claim(1)));
}
