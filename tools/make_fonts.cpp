// Generates the program's bitmap fonts from GNU Unifont, run by the build:
//
//   make_fonts UNIFONT.hex OUTPUT_DIRECTORY
//
// writes HZK16 (GB 2312), cns1.hbf and cns2.hbf (CNS 11643 planes 1 and 2),
// kcm14.hbf (Big5), each HBF font with its bitmap file, and ASC16 (the 8x16
// font for single bytes). Codes are mapped to Unicode by glibc iconv (GB2312,
// EUC-TW, BIG5). Glyphs are Unifont's 16x16 ones; an 8-wide Unifont glyph is
// centred in its cell; a position without a character, or whose character
// Unifont lacks, is blank.

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "tools/iconv_text.h"
#include "tools/unifont_hex.h"

namespace {

using glyph16 = std::array<std::uint8_t, 32>;

struct font_image {
  std::vector<std::uint8_t> bytes;
  std::size_t glyphs = 0;
  std::size_t drawn = 0;
};

// Adds the glyph of one character given in a charset (blank when iconv or
// Unifont does not know it).
void add_glyph(font_image& image, const unifont_hex& unifont, const char* charset,
               const std::string& character) {
  glyph16 glyph{};
  if (std::optional<char32_t> code = iconv_code_point(charset, character)) {
    if (auto drawn = unifont.full_width(*code)) {
      glyph = *drawn;
      ++image.drawn;
    }
  }
  image.bytes.insert(image.bytes.end(), glyph.begin(), glyph.end());
  ++image.glyphs;
}

// 94 by 94 characters of a two-byte EUC form, optionally after a prefix.
font_image euc_plane(const unifont_hex& unifont, const char* charset, const std::string& prefix) {
  font_image image;
  for (int row = 0xA1; row <= 0xFE; ++row)
    for (int column = 0xA1; column <= 0xFE; ++column)
      add_glyph(image, unifont, charset,
                prefix + static_cast<char>(row) + static_cast<char>(column));
  return image;
}

// Big5 leads 0xA1 to 0xF9, each with the trails 0x40-0x7E and 0xA1-0xFE.
font_image big5_font(const unifont_hex& unifont) {
  font_image image;
  for (int lead = 0xA1; lead <= 0xF9; ++lead)
    for (int trail = 0x40; trail <= 0xFE; ++trail)
      if (trail <= 0x7E || trail >= 0xA1)
        add_glyph(image, unifont, "BIG5",
                  std::string{static_cast<char>(lead), static_cast<char>(trail)});
  return image;
}

// Single bytes as ISO 8859-1, 16 bytes each; control codes are blank.
std::vector<std::uint8_t> ascii_font(const unifont_hex& unifont) {
  std::vector<std::uint8_t> bytes;
  for (char32_t code = 0; code < 256; ++code) {
    std::array<std::uint8_t, 16> glyph{};
    bool control = code < 0x20 || (code >= 0x7F && code < 0xA0);
    if (!control)
      if (auto drawn = unifont.half_width(code)) glyph = *drawn;
    bytes.insert(bytes.end(), glyph.begin(), glyph.end());
  }
  return bytes;
}

bool write_file(const std::string& path, const std::string& text) {
  std::ofstream file(path, std::ios::binary);
  file << text;
  return static_cast<bool>(file.flush());
}

bool write_file(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  return write_file(path, std::string(bytes.begin(), bytes.end()));
}

struct hbf_description {
  std::string file_name;    // "cns1.hbf"
  std::string bitmap_name;  // "cns1.bin"
  std::string code_scheme;  // HBF_CODE_SCHEME
  std::string registry;     // the last two fields of the font name
  std::vector<std::pair<int, int>> byte2_ranges;
  int first_code;
  int last_code;
};

std::string description_text(const hbf_description& d, std::size_t glyphs) {
  std::string text;
  auto line = [&text](const std::string& words) { text += words + "\n"; };
  char range[128];
  line("HBF_START_FONT 1.1");
  line("COMMENT Glyphs from GNU Unifont, placed by glibc iconv's " + d.code_scheme + " mapping");
  line("HBF_CODE_SCHEME " + d.code_scheme);
  line("FONT -Kestrel-Unifont-Medium-R-Normal--16-160-75-75-C-160-" + d.registry);
  line("SIZE 16 75 75");
  line("HBF_BITMAP_BOUNDING_BOX 16 16 0 -2");
  line("FONTBOUNDINGBOX 16 16 0 -2");
  line("STARTPROPERTIES 2");
  line("FONT_ASCENT 14");
  line("FONT_DESCENT 2");
  line("ENDPROPERTIES");
  line("CHARS " + std::to_string(glyphs));
  line("HBF_START_BYTE_2_RANGES " + std::to_string(d.byte2_ranges.size()));
  for (auto [first, last] : d.byte2_ranges) {
    std::snprintf(range, sizeof range, "HBF_BYTE_2_RANGE 0x%02X-0x%02X", first, last);
    line(range);
  }
  line("HBF_END_BYTE_2_RANGES");
  line("HBF_START_CODE_RANGES 1");
  std::snprintf(range, sizeof range, "HBF_CODE_RANGE 0x%04X-0x%04X %s 0", d.first_code, d.last_code,
                d.bitmap_name.c_str());
  line(range);
  line("HBF_END_CODE_RANGES");
  line("HBF_END_FONT");
  return text;
}

bool write_hbf(const std::string& directory, const hbf_description& d, const font_image& image) {
  std::printf("make_fonts: %s: %zu of %zu glyphs drawn\n", d.file_name.c_str(), image.drawn,
              image.glyphs);
  return write_file(directory + "/" + d.bitmap_name, image.bytes) &&
         write_file(directory + "/" + d.file_name, description_text(d, image.glyphs));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: make_fonts UNIFONT.hex OUTPUT_DIRECTORY\n");
    return 2;
  }
  unifont_hex unifont;
  if (!unifont.load(argv[1])) {
    std::fprintf(stderr, "make_fonts: cannot read %s\n", argv[1]);
    return 1;
  }
  std::string directory = argv[2];

  font_image hzk16 = euc_plane(unifont, "GB2312", "");
  std::printf("make_fonts: HZK16: %zu of %zu glyphs drawn\n", hzk16.drawn, hzk16.glyphs);
  bool ok = write_file(directory + "/HZK16", hzk16.bytes) &&
            write_file(directory + "/ASC16", ascii_font(unifont));

  const std::vector<std::pair<int, int>> cns_byte2{{0x21, 0x7E}};
  ok = ok && write_hbf(directory,
                       {"cns1.hbf", "cns1.bin", "CNS11643-92p1", "CNS11643.1992-1", cns_byte2,
                        0x2121, 0x7E7E},
                       euc_plane(unifont, "EUC-TW", ""));
  ok = ok && write_hbf(directory,
                       {"cns2.hbf", "cns2.bin", "CNS11643-92p2", "CNS11643.1992-2", cns_byte2,
                        0x2121, 0x7E7E},
                       euc_plane(unifont, "EUC-TW", "\x8E\xA2"));
  ok = ok && write_hbf(directory,
                       {"kcm14.hbf",
                        "kcm14.bin",
                        "Big5",
                        "Big5-0",
                        {{0x40, 0x7E}, {0xA1, 0xFE}},
                        0xA140,
                        0xF9FE},
                       big5_font(unifont));
  if (!ok) {
    std::fprintf(stderr, "make_fonts: cannot write the fonts into %s\n", directory.c_str());
    return 1;
  }
  return 0;
}
