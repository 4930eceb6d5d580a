#include "app/chinese_text_view.h"

#include <QImage>
#include <QPainter>
#include <algorithm>

#include "ui/ui_asker.h"
#include "ui/ui_ids.h"

namespace {

const QRgb kLight = qRgb(255, 255, 255);
const QRgb kDark = qRgb(0, 0, 0);

// A cell as a two-colour image: set bits dark, clear bits light.
QImage cell_image(const std::uint8_t* lines, int width, int bytes_per_line) {
  QImage image(width, kLineHeight, QImage::Format_Mono);
  image.setColorCount(2);
  image.setColor(0, kLight);
  image.setColor(1, kDark);
  for (int y = 0; y < kLineHeight; ++y)
    std::copy_n(lines + y * bytes_per_line, bytes_per_line, image.scanLine(y));
  return image;
}

}  // namespace

CChineseTextView::CChineseTextView(chinese_view kind, chinese_fonts& fonts, std::string text)
    : kind_(kind), fonts_(fonts), text_(std::move(text)) {
  for (std::string_view failure : chinese_fonts_load(fonts_, kind_))
    ui_message_box(std::string(failure), MB_OK | MB_ICONEXCLAMATION);
}

void CChineseTextView::on_initial_update() {
  cells_ = chinese_view_walk(fonts_, kind_, text_);
  view_extent extent = view_scroll_extent(kind_, text_.size(), cells_);
  set_scroll_sizes({extent.width, extent.height});
}

void CChineseTextView::on_draw(QPainter& painter, const QRect& visible) {
  painter.fillRect(visible, QColor(kLight));
  // The walks go down the text line by line, so the cells are in order of y.
  auto first = std::lower_bound(cells_.begin(), cells_.end(), visible.top() - kLineHeight,
                                [](const draw_item& item, int top) { return item.y < top; });
  for (auto it = first; it != cells_.end() && it->y <= visible.bottom(); ++it) {
    const draw_item& item = *it;
    bool glyph = item.what == draw_item::kind::glyph;
    int width = glyph ? kGlyphSide : kHalfWidth;
    if (item.x > visible.right() || item.x + width <= visible.left()) continue;
    QImage image = glyph ? cell_image(item.glyph.data(), kGlyphSide, 2)
                         : cell_image(fonts_.ascii.glyphs[item.character].data(), kHalfWidth, 1);
    painter.drawImage(item.x, item.y, image);
  }
}
