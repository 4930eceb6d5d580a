#include "model/letter_display.h"

#include <gtest/gtest.h>

namespace {

// A text of runs: (bytes, charset, shown).
letter_text made(
    std::vector<std::tuple<std::string, std::string, std::optional<std::string>>> runs) {
  letter_text text;
  for (auto& [bytes, charset, shown] : runs) {
    text.runs.push_back({text.bytes.size(), charset, shown});
    text.bytes += bytes;
  }
  return text;
}

TEST(ScreenText, ReadsEveryRunInItsCharsetAndEndsLinesWithALineFeed) {
  letter_text text = made({{"a\r\n", "GB18030", {}},
                           {"\xD6\xD0\r", "GB18030", {}},
                           {"\xA4\xA4", "BIG5-HKSCS", {}},
                           {"\xF0\x9F\x98\x80!", "UTF-8", {}},
                           {"=?x?=", "GB18030", "X"}});
  screen_text screen = letter_screen_text(text);
  EXPECT_EQ(screen.characters, u"a\n中\n中\U0001F600!X");
  // a, CR (the LF after it adds nothing), 中, CR, 中, two halves of one
  // character, !, the shown X at its run's start; then the end.
  EXPECT_EQ(screen.offsets, (std::vector<std::size_t>{0, 1, 3, 5, 6, 8, 8, 12, 13, 18}));
  EXPECT_EQ(screen.byte_offset(4), 6u);
  EXPECT_EQ(screen.byte_offset(100), 18u);
  EXPECT_EQ(screen.position(6), 4u);
  EXPECT_EQ(screen.position(7), 5u) << "inside 中 goes on to the next character";
}

TEST(ScreenText, UnreadableBytesAreShownOneEach) {
  screen_text screen = letter_screen_text(made({{"\xFF\xFFz", "GB18030", {}}}));
  EXPECT_EQ(screen.characters, u"\uFFFD\uFFFDz");
}

TEST(TerminalText, ConvertsTheCharsetsAndNothingElse) {
  letter_text text = made({{"S: =?UTF-8?Q?x?=\r\n", "GB18030", "S: x\r\n"},
                           {"\xD6\xD0", "GB18030", {}},
                           {"\xA4\xA4", "BIG5-HKSCS", {}}});
  EXPECT_EQ(letter_text_utf8(text), "S: =?UTF-8?Q?x?=\r\n中中");
}

}  // namespace
