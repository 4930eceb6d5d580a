#pragma once

#include <string>
#include <string_view>

#include "chinese/view_fonts.h"
#include "ui/ui_scroll_view.h"

// What the four Chinese text views share: the text of a letter part, laid
// out by the view's walk with the application's bitmap fonts and painted cell
// by cell, set bits dark on a light background, over a fixed scroll extent.
class CChineseTextView : public ui_scroll_view {
 public:
  // Makes sure the view's fonts are loaded; shows the message of a font that
  // cannot be opened (the view then draws without it).
  CChineseTextView(chinese_view kind, chinese_fonts& fonts, std::string text);

  chinese_view kind() const { return kind_; }
  const std::string& text() const { return text_; }
  const draw_list& cells() const { return cells_; }

  // Lays the text out and fixes the scroll extent.
  void on_initial_update() override;

 protected:
  void on_draw(QPainter& painter, const QRect& visible) override;

 private:
  chinese_view kind_;
  chinese_fonts& fonts_;
  std::string text_;
  draw_list cells_;
};
