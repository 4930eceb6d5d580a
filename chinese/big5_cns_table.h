#pragma once

#include <cstddef>
#include <cstdint>

// Big5 codes by linear index: (lead - 0xA1) * 157 plus the trail's place
// among 0x40-0x7E and 0xA1-0xFE. Each entry is the CNS 11643 linear index
// (plane - 1) * 8836 + (row - 0x21) * 94 + (column - 0x21) of the same
// character, or kBig5CnsNone.
inline constexpr std::uint8_t kBig5FirstLead = 0xA1;
inline constexpr std::uint8_t kBig5LastLead = 0xF9;
inline constexpr std::size_t kBig5TrailsPerLead = 157;
inline constexpr std::size_t kBig5CnsTableSize =
    (kBig5LastLead - kBig5FirstLead + 1) * kBig5TrailsPerLead;
inline constexpr std::uint16_t kBig5CnsNone = 0xFFFF;

extern const std::uint16_t kBig5CnsTable[kBig5CnsTableSize];
