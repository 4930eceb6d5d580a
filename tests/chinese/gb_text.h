#pragma once

#include <string>
#include <vector>

#include "tools/iconv_text.h"

// Every character of GB 2312 as iconv knows it, as EUC pairs.
inline std::vector<std::string> gb2312_characters() {
  std::vector<std::string> characters;
  for (int row = 0xA1; row <= 0xFE; ++row)
    for (int column = 0xA1; column <= 0xFE; ++column) {
      std::string pair{static_cast<char>(row), static_cast<char>(column)};
      if (iconv_code_point("GB2312", pair)) characters.push_back(pair);
    }
  return characters;
}

// The characters in lines of mixed text: ASCII words, blanks and tabs
// between runs of Chinese, CRLF line ends, a line of ASCII only now and then.
inline std::string mixed_lines(const std::vector<std::string>& characters) {
  std::string text;
  for (std::size_t i = 0; i < characters.size(); ++i) {
    if (i % 7 == 3) text += i % 2 ? " mail " : "\tKestrel-1.0 ";
    text += characters[i];
    if (i % 23 == 22) text += i % 3 ? "\r\n" : ".\r\nplain ASCII line\r\n";
  }
  return text + "\r\n";
}
