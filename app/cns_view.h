#pragma once

#include "app/chinese_text_view.h"

// ISO-2022-CN text: GB 2312 with HZK16, CNS 11643 planes 1 and 2 with their HBF fonts.
class CcnsView : public CChineseTextView {
 public:
  CcnsView(chinese_fonts& fonts, std::string text)
      : CChineseTextView(chinese_view::cns, fonts, std::move(text)) {}
};
