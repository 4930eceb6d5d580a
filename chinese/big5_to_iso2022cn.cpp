#include <algorithm>

#include "chinese/big5_cns_table.h"
#include "chinese/byte_writer.h"
#include "chinese/converters.h"

namespace {

constexpr char kSO = 0x0E, kSI = 0x0F, kESC = 0x1B;

// Input is taken a block at a time with room for the most a block can give:
// a step reads at least one byte and writes at most 8 (designation, shift and
// pair; SI and a byte), and the last step of a block may read 1 byte past it.
constexpr std::size_t kBlock = 4096;
constexpr std::size_t kBlockRoom = (kBlock + 1) * 8 + 1;

}  // namespace

std::size_t big5_to_iso2022cn(std::string_view input, std::string& output) {
  byte_writer writer(output, input.size() + input.size() / 4);
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(input.data());
  std::size_t size = input.size();
  bool shifted = false;
  bool plane1_designated = false;  // on this line
  bool plane2_designated = false;
  std::size_t substitutes = 0;
  std::size_t i = 0;
  while (i < size) {
    std::size_t block_end = std::min(size, i + kBlock);
    char* out = writer.claim(kBlockRoom);
    while (i < block_end) {
      std::uint8_t byte = bytes[i];
      if (byte < 0x80) {
        if (shifted) *out++ = kSI;
        shifted = false;
        *out++ = static_cast<char>(byte);
        if (byte == '\n') plane1_designated = plane2_designated = false;
        ++i;
        continue;
      }
      std::uint16_t n = kBig5CnsNone;
      if (i + 1 < size && bytes[i + 1] >= 0x40) {
        n = big5_cns_entry(byte, bytes[i + 1]);
        i += 2;
      } else {
        ++i;  // a lead without a trail byte: what follows is read on its own
      }
      if (n == kBig5CnsNone) {
        n = kBig5CnsSubstitute.row << 8 | kBig5CnsSubstitute.column;
        ++substitutes;
      }
      if (!(n & kBig5CnsPlane2)) {
        if (!plane1_designated) out = std::copy_n("\x1B$)G", 4, out);
        plane1_designated = true;
        if (!shifted) *out++ = kSO;
        shifted = true;
      } else {
        if (!plane2_designated) out = std::copy_n("\x1B$*H", 4, out);
        plane2_designated = true;
        *out++ = kESC;
        *out++ = 'N';
      }
      *out++ = static_cast<char>(n >> 8 & 0x7F);
      *out++ = static_cast<char>(n & 0x7F);
    }
    writer.release(out);
  }
  // The text ends in ASCII, so nothing joined after it is read as Chinese.
  char* out = writer.claim(1);
  if (shifted) *out++ = kSI;
  writer.release(out);
  return substitutes;
}
