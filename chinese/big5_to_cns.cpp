#include "chinese/big5_cns_table.h"
#include "chinese/converters.h"

std::optional<cns_code> big5_to_cns_known(std::uint8_t lead, std::uint8_t trail) {
  std::uint16_t n = big5_cns_entry(lead, trail);
  if (n == kBig5CnsNone) return std::nullopt;
  return cns_code{static_cast<std::uint8_t>(n & kBig5CnsPlane2 ? 0x22 : 0x21),
                  static_cast<std::uint8_t>(n >> 8 & 0x7F), static_cast<std::uint8_t>(n & 0x7F)};
}

cns_code big5_to_cns(std::uint8_t lead, std::uint8_t trail) {
  return big5_to_cns_known(lead, trail).value_or(kBig5CnsSubstitute);
}
