#include "chinese/view_walks.h"

draw_list huge_view_walk(std::string_view text) {
  draw_list list;
  int x = 0, y = 0;
  for (char byte : text) {
    if (byte == '\n') {
      y += kLineHeight;
      x = 0;
      continue;
    }
    list.push_back(draw_item::make_ascii(x, y, static_cast<std::uint8_t>(byte)));
    x += kHalfWidth;
  }
  return list;
}
