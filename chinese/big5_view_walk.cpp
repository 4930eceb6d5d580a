#include "chinese/gb_big5_walk.h"
#include "chinese/hbf_glyph16.h"
#include "chinese/view_walks.h"

draw_list big5_view_walk(std::string_view text, hbf_font& kcm14) {
  return gb_big5_walk(text, hbf_glyph_or_fallback(kcm14, 0xA26B),
                      [&](std::uint8_t first, std::uint8_t second) {
                        return hbf_glyph_or_fallback(kcm14, first * 256L + second);
                      });
}
