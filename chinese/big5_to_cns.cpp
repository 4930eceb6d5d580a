#include "chinese/big5_cns_table.h"
#include "chinese/converters.h"

std::optional<cns_code> big5_to_cns_known(std::uint8_t lead, std::uint8_t trail) {
  if (lead < kBig5FirstLead || lead > kBig5LastLead) return std::nullopt;
  std::size_t place;
  if (trail >= 0x40 && trail <= 0x7E) {
    place = trail - 0x40;
  } else if (trail >= 0xA1 && trail <= 0xFE) {
    place = trail - 0x62;
  } else {
    return std::nullopt;
  }
  std::uint16_t n = kBig5CnsTable[(lead - kBig5FirstLead) * kBig5TrailsPerLead + place];
  if (n == kBig5CnsNone) return std::nullopt;
  return cns_code{static_cast<std::uint8_t>(0x21 + n / 8836),
                  static_cast<std::uint8_t>(0x21 + n % 8836 / 94),
                  static_cast<std::uint8_t>(0x21 + n % 94)};
}

cns_code big5_to_cns(std::uint8_t lead, std::uint8_t trail) {
  return big5_to_cns_known(lead, trail).value_or(kBig5CnsSubstitute);
}
