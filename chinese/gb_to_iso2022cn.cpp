#include <algorithm>
#include <array>

#include "chinese/byte_writer.h"
#include "chinese/converters.h"

namespace {

constexpr char kSO = 0x0E, kSI = 0x0F, kESC = 0x1B;

// Input is taken a block at a time with room for the most a block can give:
// a step reads at least one byte and writes at most 8 (designation, single
// shift and pair), and the last step of a block may read 3 bytes past it.
constexpr std::size_t kBlock = 4096;
constexpr std::size_t kBlockRoom = (kBlock + 3) * 8 + 1;

bool euc_byte(std::uint8_t byte) {
  return byte >= 0xA1 && byte <= 0xFE;
}

// The register (1 to 3) a designation final goes to.
int register_of(char final) {
  switch (final) {
    case 'A':
    case 'G':
    case '2':
      return 1;
    case '0':
    case 'H':
    case '3':
      return 2;
    default:
      return 3;
  }
}

struct encoder_state {
  bool shifted = false;
  std::array<char, 4> finals{};  // by register; forgotten at every line feed
};

char* put_character(encoder_state& state, char* out, char final, std::uint8_t first,
                    std::uint8_t second) {
  int g = register_of(final);
  if (state.finals[g] != final) {
    *out++ = kESC;
    *out++ = '$';
    *out++ = "()*+"[g];
    *out++ = final;
    state.finals[g] = final;
  }
  if (g == 1) {
    if (!state.shifted) *out++ = kSO;
    state.shifted = true;
  } else {
    *out++ = kESC;
    *out++ = g == 2 ? 'N' : 'O';
  }
  *out++ = static_cast<char>(first & 0x7F);
  *out++ = static_cast<char>(second & 0x7F);
  return out;
}

}  // namespace

std::size_t gb_to_iso2022cn(std::string_view input, std::string& output) {
  byte_writer writer(output, input.size() + input.size() / 4);
  encoder_state state;
  std::size_t substitutes = 0;
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(input.data());
  std::size_t size = input.size();
  std::size_t i = 0;
  while (i < size) {
    std::size_t block_end = std::min(size, i + kBlock);
    char* out = writer.claim(kBlockRoom);
    while (i < block_end) {
      std::uint8_t byte = bytes[i];
      if (byte < 0x80) {
        if (state.shifted) *out++ = kSI;
        state.shifted = false;
        *out++ = static_cast<char>(byte);
        if (byte == '\n') state.finals = {};
        ++i;
        continue;
      }
      if (i + 1 < size && euc_byte(byte) && euc_byte(bytes[i + 1])) {
        if (state.shifted && state.finals[1] == 'A') {
          *out++ = static_cast<char>(byte & 0x7F);
          *out++ = static_cast<char>(bytes[i + 1] & 0x7F);
        } else {
          out = put_character(state, out, 'A', byte, bytes[i + 1]);
        }
        i += 2;
        continue;
      }
      // 0x8E 0xA2 and 0x8E 0xA3 put an EUC pair of CNS plane 2 or 3 in G2 or G3.
      std::size_t pair = i;
      char final = 'A';
      if (byte == 0x8E && i + 1 < size && (bytes[i + 1] == 0xA2 || bytes[i + 1] == 0xA3)) {
        final = bytes[i + 1] == 0xA2 ? '0' : '1';
        pair = i + 2;
        if (pair + 1 < size && euc_byte(bytes[pair]) && euc_byte(bytes[pair + 1])) {
          out = put_character(state, out, final, bytes[pair], bytes[pair + 1]);
          i = pair + 2;
          continue;
        }
      }
      // Not a character: one WHITE SQUARE, then go on from the byte after the
      // lead (or after the plane byte), which may begin a character itself.
      out = put_character(state, out, 'A', 0xA1, 0xF5);
      ++substitutes;
      i = pair == i ? i + 1 : pair;
    }
    writer.release(out);
  }
  // The text ends in ASCII, so nothing joined after it is read as Chinese.
  char* out = writer.claim(1);
  if (state.shifted) *out++ = kSI;
  writer.release(out);
  return substitutes;
}
