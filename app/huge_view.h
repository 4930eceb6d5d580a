#pragma once

#include "app/chinese_text_view.h"

// Plain text, line by line, with the ASCII font.
class CHugeView : public CChineseTextView {
 public:
  CHugeView(chinese_fonts& fonts, std::string text)
      : CChineseTextView(chinese_view::huge, fonts, std::move(text)) {}
};
