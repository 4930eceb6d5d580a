#pragma once

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

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

// The pieces of a text between "|".
inline std::vector<std::string> pieces(const std::string& text) {
  std::vector<std::string> list;
  for (std::size_t at = 0, bar; at <= text.size(); at = bar + 1) {
    bar = std::min(text.find('|', at), text.size());
    list.push_back(text.substr(at, bar - at));
  }
  return list;
}

// A description with the byte-2 ranges and code ranges given, "|" between.
inline std::string hbf_description(const std::string& byte2, const std::string& codes) {
  std::string text =
      "HBF_START_FONT 1.1\n"
      "COMMENT HBF_BITMAP_BOUNDING_BOX 8 8 is not at the start of this line\n"
      "HBF_BITMAP_BOUNDING_BOX 16 16 0 -2\nHBF_START_BYTE_2_RANGES " +
      std::to_string(pieces(byte2).size()) + "\n";
  for (const std::string& range : pieces(byte2))
    text += "HBF_BYTE_2_RANGE " + range + "\n";
  text +=
      "HBF_END_BYTE_2_RANGES\nHBF_START_CODE_RANGES " + std::to_string(pieces(codes).size()) + "\n";
  for (const std::string& range : pieces(codes))
    text += "HBF_CODE_RANGE " + range + "\n";
  return text + "HBF_END_CODE_RANGES\nHBF_END_FONT\n";
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
