#pragma once

#include <random>
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

// Every Big5 code (lead 0x81 to 0xFE, trail 0x40 to 0x7E or 0xA1 to 0xFE).
inline std::vector<std::string> big5_codes() {
  std::vector<std::string> codes;
  for (int lead = 0x81; lead <= 0xFE; ++lead)
    for (int trail = 0x40; trail <= 0xFE; ++trail)
      if (trail <= 0x7E || trail >= 0xA1)
        codes.push_back({static_cast<char>(lead), static_cast<char>(trail)});
  return codes;
}

// iconv's EUC-TW form of a Big5 code when it lies on CNS plane 1 or 2, as
// plane, row and column bytes (0x21-based); empty otherwise.
inline std::string iconv_big5_cns(const std::string& code) {
  std::optional<std::string> euc = iconv_text("BIG5", "EUC-TW", code);
  if (!euc) return "";
  if (euc->size() == 2)
    return std::string{'\x21'} + static_cast<char>((*euc)[0] & 0x7F) +
           static_cast<char>((*euc)[1] & 0x7F);
  if (euc->size() == 4 && (*euc)[0] == '\x8E' && (*euc)[1] == '\xA2')
    return std::string{'\x22'} + static_cast<char>((*euc)[2] & 0x7F) +
           static_cast<char>((*euc)[3] & 0x7F);
  return "";
}

// Random bytes, those that matter to the converters drawn more often than the
// rest.
inline std::string random_bytes(std::mt19937& random, std::size_t most) {
  static const std::string kSpecial = "\x1B$()*+AGHN0O\x0E\x0F\r\n\t \x8E\xA2\xA3\xA1\xFE\xFF\x80";
  std::uniform_int_distribution<std::size_t> length(0, most);
  std::uniform_int_distribution<int> any(0, 255), coin(0, 2);
  std::uniform_int_distribution<std::size_t> special(0, kSpecial.size() - 1);
  std::string text(length(random), '\0');
  for (char& c : text)
    c = coin(random) ? kSpecial[special(random)] : static_cast<char>(any(random));
  return text;
}
