#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "chinese/ascii_font.h"
#include "chinese/hbf_font.h"
#include "chinese/hzk16.h"
#include "chinese/view_walks.h"

// The fonts of the Chinese views, all from one font directory, each loaded
// when the first view that needs it is made and kept from then on.
struct chinese_fonts {
  std::string directory;
  hzk16_file hzk16;
  hbf_font kcm14;
  hbf_font cns1;
  hbf_font cns2;
  ascii_font ascii;
  bool ascii_loaded = false;
};

// What the views show when their fonts cannot be opened.
inline constexpr std::string_view kBig5FontMessage = "不能打开 HBF 文件";
inline constexpr std::string_view kCnsFontMessage = "Fail to open HBF file";
inline constexpr std::string_view kHzk16Message = "不能打开 HZK16 文件";
inline constexpr std::string_view kAsciiFontMessage = "不能打开 ASC16 文件";

// Makes sure the fonts a view draws with are loaded, the ASCII font always,
// each on its own, so one missing file costs only its own glyphs. An HBF font
// that fails to load is unloaded again. Returns the messages to show, in
// order: for each failure its own text (an HBF font's load message, then the
// view's); none when everything is there.
std::vector<std::string_view> chinese_fonts_load(chinese_fonts& fonts, chinese_view view);

// Lays text out with the walk of the view, from fonts already loaded.
draw_list chinese_view_walk(chinese_fonts& fonts, chinese_view view, std::string_view text);
