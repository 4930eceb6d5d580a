#include <cstdio>
#include <cstdlib>
#include <string>

#include "chinese/font_names.h"
#include "chinese/hbf_glyph16.h"
#include "chinese/view_fonts.h"
#include "cli/chinese_options.h"
#include "cli/commands.h"

namespace {

// A code of 1 to 4 hex digits, with or without "0x".
std::optional<long> parse_code(std::string text) {
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) text.erase(0, 2);
  if (text.empty() || text.size() > 4) return std::nullopt;
  char* end = nullptr;
  long code = std::strtol(text.c_str(), &end, 16);
  if (*end != '\0') return std::nullopt;
  return code;
}

// HZK16 is indexed by GB row and column; its code is the EUC pair (B0A1) or
// the 7-bit pair of ISO-2022-CN (3021).
std::optional<glyph16> hzk16_code_glyph(const hzk16_file& file, long code) {
  int first = static_cast<int>(code >> 8), second = static_cast<int>(code & 0xFF);
  if (first >= 0x21 && first <= 0x7E && second >= 0x21 && second <= 0x7E)
    return hzk16_glyph(file, first - 0x20, second - 0x20);
  if (first >= 0xA1 && first <= 0xFE && second >= 0xA1 && second <= 0xFE)
    return hzk16_glyph(file, first - 0xA0, second - 0xA0);
  return std::nullopt;
}

}  // namespace

int run_glyph(const cli_command& command, cli_arguments given) {
  std::vector<std::string> arguments(given.begin(), given.end());
  chinese_fonts fonts;
  fonts.directory = cli_font_directory(arguments);
  if (arguments.size() != 2) return cli_usage(command);
  const std::string& font = arguments[0];
  std::optional<long> code = parse_code(arguments[1]);
  if (!code) return cli_usage(command);

  std::optional<glyph16> glyph;
  std::string_view failure;
  if (font == "hzk16") {
    if (hzk16_open(fonts.hzk16, fonts.directory)) {
      glyph = hzk16_code_glyph(fonts.hzk16, *code);
    } else {
      failure = kHzk16Message;
    }
  } else if (font == "kcm14" || font == "cns1" || font == "cns2") {
    hbf_font& hbf = font == "kcm14" ? fonts.kcm14 : font == "cns1" ? fonts.cns1 : fonts.cns2;
    std::string name = font_path(fonts.directory, font + ".hbf");
    int loaded = hbf_load(hbf, name);
    if (loaded == HBF_LOADED) {
      glyph = hbf_glyph16(hbf, *code);
    } else {
      failure = hbf_load_message(loaded);
    }
  } else {
    return cli_usage(command);
  }
  if (!failure.empty()) {
    std::fprintf(stderr, "kestrel-mail: %.*s (%s)\n", static_cast<int>(failure.size()),
                 failure.data(), fonts.directory.c_str());
    return EXIT_FAILED;
  }
  if (!glyph) {
    std::fprintf(stderr, "kestrel-mail: %s has no glyph for code %04lX\n", font.c_str(), *code);
    return EXIT_FAILED;
  }
  for (int line = 0; line < 16; ++line) {
    unsigned bits = (*glyph)[line * 2] << 8 | (*glyph)[line * 2 + 1];
    for (int x = 0; x < 16; ++x)
      std::putchar(bits & (0x8000u >> x) ? '#' : '.');
    std::putchar('\n');
  }
  return EXIT_DONE;
}
