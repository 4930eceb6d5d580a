#pragma once

#include <cstddef>
#include <cstdint>

// Big5 codes by linear index: (lead - 0xA1) * 157 plus the trail's place
// among 0x40-0x7E and 0xA1-0xFE. Each entry is the CNS 11643 code of the same
// character, row byte * 256 + column byte, plus kBig5CnsPlane2 for plane 2;
// or kBig5CnsNone.
inline constexpr std::uint8_t kBig5FirstLead = 0xA1;
inline constexpr std::uint8_t kBig5LastLead = 0xF9;
inline constexpr std::size_t kBig5TrailsPerLead = 157;
inline constexpr std::size_t kBig5CnsTableSize =
    (kBig5LastLead - kBig5FirstLead + 1) * kBig5TrailsPerLead;
inline constexpr std::uint16_t kBig5CnsPlane2 = 0x8000;
inline constexpr std::uint16_t kBig5CnsNone = 0xFFFF;

extern const std::uint16_t kBig5CnsTable[kBig5CnsTableSize];

// The table entry of a Big5 pair; kBig5CnsNone for bytes that are not Big5.
inline std::uint16_t big5_cns_entry(std::uint8_t lead, std::uint8_t trail) {
  if (lead < kBig5FirstLead || lead > kBig5LastLead) return kBig5CnsNone;
  std::size_t place;
  if (trail >= 0x40 && trail <= 0x7E) {
    place = trail - 0x40;
  } else if (trail >= 0xA1 && trail <= 0xFE) {
    place = trail - 0x62;
  } else {
    return kBig5CnsNone;
  }
  return kBig5CnsTable[(lead - kBig5FirstLead) * kBig5TrailsPerLead + place];
}
