#pragma once

#include <dirent.h>
#include <stdlib.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "tools/unifont_hex.h"

// A scratch directory for font files, removed afterwards.
class font_scratch {
 public:
  font_scratch() {
    char pattern[] = "/tmp/kestrel-fonts-XXXXXX";
    if (mkdtemp(pattern)) path_ = pattern;
  }
  ~font_scratch() { std::filesystem::remove_all(path_); }
  font_scratch(const font_scratch&) = delete;
  font_scratch& operator=(const font_scratch&) = delete;

  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + "/" + name; }
  void write(const std::string& name, const std::string& bytes) const {
    std::ofstream(file(name), std::ios::binary) << bytes;
  }
  // A bitmap file of count 32-byte glyphs; glyph i starts with i in two bytes.
  void write_numbered_glyphs(const std::string& name, int count) const {
    std::string bytes;
    for (int i = 0; i < count; ++i) {
      std::string glyph(32, '\x5A');
      glyph[0] = static_cast<char>(i >> 8);
      glyph[1] = static_cast<char>(i & 0xFF);
      bytes += glyph;
    }
    write(name, bytes);
  }

 private:
  std::string path_;
};

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
