#include "chinese/big5_cns_table.h"
#include "chinese/converters.h"
#include "chinese/iso2022cn_writer.h"

std::size_t big5_to_iso2022cn(std::string_view input, std::string& output) {
  iso2022cn_writer writer;
  std::size_t substitutes = 0;
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(input.data());
  const std::size_t size = input.size();
  // A step may look 1 byte past its block: the trail byte.
  iso2022cn_encode(input, output, 1, writer, [&](std::size_t i, char*& out) {
    std::uint8_t byte = bytes[i];
    if (byte < 0x80) {
      out = writer.ascii(out, byte);
      return i + 1;
    }
    std::uint16_t n = kBig5CnsNone;
    std::size_t next = i + 1;  // a lead without a trail byte: what follows is read on its own
    if (i + 1 < size && bytes[i + 1] >= 0x40) {
      n = big5_cns_entry(byte, bytes[i + 1]);
      next = i + 2;
    }
    if (n == kBig5CnsNone) {
      n = kBig5CnsSubstitute.row << 8 | kBig5CnsSubstitute.column;
      ++substitutes;
    }
    char final = n & kBig5CnsPlane2 ? 'H' : 'G';
    out = writer.character(out, final, static_cast<std::uint8_t>(n >> 8),
                           static_cast<std::uint8_t>(n));
    return next;
  });
  return substitutes;
}
