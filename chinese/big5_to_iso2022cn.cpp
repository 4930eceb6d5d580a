#include "chinese/converters.h"

namespace {

constexpr char kSO = 0x0E, kSI = 0x0F, kESC = 0x1B;

}  // namespace

std::size_t big5_to_iso2022cn(std::string_view input, std::string& output) {
  output.reserve(output.size() + input.size() + input.size() / 4);
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(input.data());
  std::size_t size = input.size();
  bool shifted = false;
  bool plane1_designated = false;  // on this line
  bool plane2_designated = false;
  std::size_t substitutes = 0;
  std::size_t i = 0;
  while (i < size) {
    std::uint8_t byte = bytes[i];
    if (byte < 0x80) {
      if (shifted) output += kSI;
      shifted = false;
      output += static_cast<char>(byte);
      if (byte == '\n') plane1_designated = plane2_designated = false;
      ++i;
      continue;
    }
    std::optional<cns_code> code;
    if (i + 1 < size && bytes[i + 1] >= 0x40) {
      code = big5_to_cns_known(byte, bytes[i + 1]);
      i += 2;
    } else {
      ++i;  // a lead without a trail byte: what follows is read on its own
    }
    if (!code) {
      code = kBig5CnsSubstitute;
      ++substitutes;
    }
    if (code->plane == 0x21) {
      if (!plane1_designated) output += "\x1B$)G";
      plane1_designated = true;
      if (!shifted) output += kSO;
      shifted = true;
    } else {
      if (!plane2_designated) output += "\x1B$*H";
      plane2_designated = true;
      output += kESC;
      output += 'N';
    }
    output += static_cast<char>(code->row);
    output += static_cast<char>(code->column);
  }
  if (shifted) output += kSI;
  return substitutes;
}
