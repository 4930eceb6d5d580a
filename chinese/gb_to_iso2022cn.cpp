#include "chinese/converters.h"
#include "chinese/iso2022cn_writer.h"

namespace {

bool euc_byte(std::uint8_t byte) {
  return byte >= 0xA1 && byte <= 0xFE;
}

}  // namespace

std::size_t gb_to_iso2022cn(std::string_view input, std::string& output) {
  iso2022cn_writer writer;
  std::size_t substitutes = 0;
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(input.data());
  const std::size_t size = input.size();
  // A step may look 3 bytes past its block: the plane prefix and a pair.
  iso2022cn_encode(input, output, 3, writer, [&](std::size_t i, char*& out) {
    std::uint8_t byte = bytes[i];
    if (byte < 0x80) {
      out = writer.ascii(out, byte);
      return i + 1;
    }
    if (i + 1 < size && euc_byte(byte) && euc_byte(bytes[i + 1])) {
      out = writer.character(out, 'A', byte, bytes[i + 1]);
      return i + 2;
    }
    // 0x8E 0xA2 and 0x8E 0xA3 put an EUC pair of CNS plane 2 or 3 in G2 or G3.
    std::size_t pair = i;
    if (byte == 0x8E && i + 1 < size && (bytes[i + 1] == 0xA2 || bytes[i + 1] == 0xA3)) {
      char final = bytes[i + 1] == 0xA2 ? '0' : '1';
      pair = i + 2;
      if (pair + 1 < size && euc_byte(bytes[pair]) && euc_byte(bytes[pair + 1])) {
        out = writer.character(out, final, bytes[pair], bytes[pair + 1]);
        return pair + 2;
      }
    }
    // Not a character: one WHITE SQUARE, then go on from the byte after the
    // lead (or after the plane byte), which may begin a character itself.
    out = writer.character(out, 'A', 0xA1, 0xF5);
    ++substitutes;
    return pair == i ? i + 1 : pair;
  });
  return substitutes;
}
