#pragma once

#include "app/chinese_text_view.h"

// Big5 text drawn with the Big5 HBF font.
class CHanView : public CChineseTextView {
 public:
  CHanView(chinese_fonts& fonts, std::string text)
      : CChineseTextView(chinese_view::big5, fonts, std::move(text)) {}
};
