#pragma once

#include <cstddef>
#include <string_view>

#include "chinese/draw_list.h"
#include "chinese/hbf_font.h"
#include "chinese/hzk16.h"

// The text walks of the four Chinese views. Each lays its text out from the
// top left corner, without wrapping, and returns the cells to draw.

// CGBView: GB 2312 EUC text drawn with HZK16. Carriage return starts a line,
// line feed is ignored; a pair that is not GB 2312 draws row 1 column 85, a
// control byte the marker of row 1 column 12.
draw_list gb_view_walk(std::string_view text, const hzk16_file& hzk16);

// CHanView: Big5 text drawn with the Big5 HBF font ("kcm14.hbf"). As the GB
// view; a code the font has no whole glyph for draws kHbfFallbackCode, a
// control byte the marker code 0xA26B.
draw_list big5_view_walk(std::string_view text, hbf_font& kcm14);

// CcnsView: ISO-2022-CN text. Line feed starts a line, carriage return and
// other control bytes are ignored; GB 2312 pairs are drawn with HZK16, CNS
// plane 1 and 2 pairs with "cns1.hbf" and "cns2.hbf"; what cannot be drawn
// gets HZK16 row 1 column 85, an unknown escape sequence the marker '?'.
draw_list cns_view_walk(std::string_view text, const hzk16_file& hzk16, hbf_font& cns1,
                        hbf_font& cns2);

// CHugeView: plain text, one line per line feed, every byte with the ASCII
// font.
draw_list huge_view_walk(std::string_view text);

enum class chinese_view { gb, big5, cns, huge };

struct view_extent {
  int width;
  int height;
};

// The scrolling extent of a view: its fixed extent (GB 1280 by 2000, Big5 1000
// by 1000, ISO-2022-CN 800 by text bytes * 256 / 600, plain 808 by 100000),
// grown where the laid-out text reaches beyond it so no line is out of reach.
view_extent view_scroll_extent(chinese_view view, std::size_t text_bytes, const draw_list& list);

// The smallest extent from (0, 0) that holds every cell of the list.
view_extent drawn_extent(const draw_list& list);
