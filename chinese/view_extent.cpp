#include <algorithm>

#include "chinese/view_walks.h"

view_extent drawn_extent(const draw_list& list) {
  view_extent extent{0, 0};
  for (const draw_item& item : list) {
    int width = item.what == draw_item::kind::glyph ? kGlyphSide : kHalfWidth;
    extent.width = std::max(extent.width, item.x + width);
    extent.height = std::max(extent.height, item.y + kLineHeight);
  }
  return extent;
}

view_extent view_scroll_extent(chinese_view view, std::size_t text_bytes, const draw_list& list) {
  view_extent fixed{0, 0};
  switch (view) {
    case chinese_view::gb:
      fixed = {1280, 2000};
      break;
    case chinese_view::big5:
      fixed = {1000, 1000};
      break;
    case chinese_view::cns:
      fixed = {800, static_cast<int>(std::min<std::size_t>(text_bytes * 256 / 600, 1 << 30))};
      break;
    case chinese_view::huge:
      fixed = {808, 100000};
      break;
  }
  view_extent drawn = drawn_extent(list);
  return {std::max(fixed.width, drawn.width), std::max(fixed.height, drawn.height)};
}
