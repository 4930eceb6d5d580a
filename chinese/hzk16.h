#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include <vector>

// The HZK16 font: 94 rows of 94 GB 2312 glyphs in row and column order, each
// 16 scan lines of 2 bytes, leftmost pixel in the most significant bit, a set
// bit is ink.
using glyph16 = std::array<std::uint8_t, 32>;

inline constexpr std::size_t kHzk16Size = 94 * 94 * 32;

// An open HZK16 file, held in memory: it is small and the views read a glyph
// for every character they draw.
struct hzk16_file {
  bool open = false;
  std::vector<std::uint8_t> bytes;  // at most kHzk16Size
  bool is_open() const { return open; }
};

// Opens "HZK16" (or "hzk16") in the font directory, a DOS-style or host name.
bool hzk16_open(hzk16_file& file, const std::string& directory);

// The glyph of GB row and column (each 1 to 94, the EUC bytes less 0xA0),
// read at byte ((row - 1) * 94 + column - 1) * 32; nothing when row or column
// is out of range or the file is short.
std::optional<glyph16> hzk16_glyph(const hzk16_file& file, int row, int column);
