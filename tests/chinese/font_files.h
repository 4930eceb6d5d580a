#pragma once

#include <filesystem>
#include <fstream>
#include <string>

#include "tests/support/scratch_folder.h"
#include "tools/unifont_hex.h"

// A scratch folder to write font files into.
struct font_scratch : scratch_folder {
  void write(const std::string& name, const std::string& bytes) const {
    std::ofstream(file(name), std::ios::binary) << bytes;
  }
};

// Bitmaps of count 32-byte glyphs, numbered from first: each starts with its
// number in two bytes.
inline std::string numbered_glyphs(int count, int first = 0) {
  std::string bytes;
  for (int n = first; n < first + count; ++n) {
    std::string glyph(32, '\x5A');
    glyph[0] = static_cast<char>(n >> 8);
    glyph[1] = static_cast<char>(n & 0xFF);
    bytes += glyph;
  }
  return bytes;
}

// The number read back from a numbered glyph.
template <typename Bytes>
int glyph_number(const Bytes& glyph) {
  return glyph[0] << 8 | glyph[1];
}

// Open file descriptors of this process.
inline int open_descriptors() {
  int count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd"))
    ++count;
  return count;
}

// GNU Unifont, read once for all tests of a program.
inline const unifont_hex& unifont() {
  static const unifont_hex* font = [] {
    auto* loaded = new unifont_hex;
    loaded->load(KESTREL_TEST_UNIFONT);
    return loaded;
  }();
  return *font;
}
