#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "chinese/file_reading.h"

// Fonts in the HBF format: a text description file naming one or more bitmap
// files, in which the glyphs of each code range lie one after another.

struct hbf_byte2_range {
  long first;
  long last;
  long count;  // last - first + 1
};

struct hbf_code_range {
  long first;  // codes: first byte * 256 + second byte
  long last;
  long offset;  // of the range's first glyph in its bitmap file
  std::string file_name;
  std::shared_ptr<unique_fd> file;  // shared by the ranges that name the same file
};

struct file_closer {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

struct hbf_font {
  std::string directory;  // prefixed to the bitmap file names
  int width = 0;
  int height = 0;
  int glyph_bytes = 0;              // (width + 7) / 8 * height
  std::vector<std::uint8_t> glyph;  // glyph_bytes + 1 bytes: the last glyph read
  std::vector<hbf_byte2_range> byte2_ranges;
  std::vector<hbf_code_range> code_ranges;
  std::unique_ptr<std::FILE, file_closer> description_file;  // null until loaded

  bool loaded() const { return description_file != nullptr; }
};

// Results of hbf_load and hbf_glyph.
enum : int {
  HBF_LOADED = 1,
  HBF_NO_DESCRIPTION = -2,  // the .hbf file cannot be opened
  HBF_NO_BITMAP_FILE = -3,  // a bitmap file cannot be opened
  HBF_NO_CODE_RANGE = -4,   // no glyph for the code
  HBF_BYTE2_RANGES = -5,    // neither one nor two byte-2 ranges
  HBF_NO_MEMORY = -6,       // the glyph buffer cannot be made
};

// The message shown for a failed hbf_load ("不能打开 HBF 文件。", ...).
std::string_view hbf_load_message(int result);

// Reads the description file at path (a DOS-style or host name). Bitmap files
// are opened in the font's directory, or beside the description file when the
// directory is empty. Returns HBF_LOADED or a negative code; on failure the
// font is left unloaded.
int hbf_load(hbf_font& font, const std::string& path);

// Closes the bitmap files (each once) and the description file and empties
// the font's lists; the directory stays.
void hbf_unload(hbf_font& font);

// Reads the glyph of a code into font.glyph; returns the number of bytes read
// (fewer than glyph_bytes when the bitmap file is short) or a negative code:
// HBF_NO_CODE_RANGE, after clearing the glyph, for a code in no code range or
// whose second byte lies in no byte-2 range; HBF_BYTE2_RANGES.
int hbf_glyph(hbf_font& font, long code);

// Drawn instead of a code whose glyph cannot be read in full.
inline constexpr long kHbfFallbackCode = 0xA1BC;
