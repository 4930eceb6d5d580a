#pragma once

#include "app/chinese_text_view.h"

// GB 2312 EUC text drawn with HZK16.
class CGBView : public CChineseTextView {
 public:
  CGBView(chinese_fonts& fonts, std::string text)
      : CChineseTextView(chinese_view::gb, fonts, std::move(text)) {}
};
