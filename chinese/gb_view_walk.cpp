#include "chinese/gb_big5_walk.h"
#include "chinese/view_walks.h"

namespace {

glyph16 hzk16_or_blank(const hzk16_file& hzk16, int row, int column) {
  return hzk16_glyph(hzk16, row, column).value_or(glyph16{});
}

}  // namespace

draw_list gb_view_walk(std::string_view text, const hzk16_file& hzk16) {
  glyph16 replacement = hzk16_or_blank(hzk16, 1, 85);
  return gb_big5_walk(text, hzk16_or_blank(hzk16, 1, 12),
                      [&](std::uint8_t first, std::uint8_t second) {
                        if (first > 0xA0 && first < 0xF8 && second > 0xA0 && second < 0xFF)
                          return hzk16_or_blank(hzk16, first - 0xA0, second - 0xA0);
                        return replacement;
                      });
}
