// The texts of a letter the list, the captions and Save show: encoded words
// decoded for the screen, file names fit for a file.

#include "model/letter_text.h"

#include <gtest/gtest.h>

#include "tests/support/letter_builder.h"
#include "tests/support/table.h"

namespace {

struct shown_row {
  std::string name;
  std::string sender;  // the From item's name; empty: none
  std::string subject;
  long platform;
  std::string line_end;  // the list line from the sender on
  std::string caption;
  std::string file_name;
};

class LetterShown : public testing::TestWithParam<shown_row> {};

TEST_P(LetterShown, DecodesWordsForTheScreenOnly) {
  const shown_row& row = GetParam();
  auto letter = letters::letter(letters::text("", ""), row.subject);
  letter->envelope.date = "1-Jan-1997";
  if (row.sender.empty()) {
    letter->envelope.from.reset();
  } else {
    letter->envelope.from->items[0]->name = row.sender;
  }
  std::string line = letter_list_line(*letter, 0, "?", row.platform);
  EXPECT_EQ(line.substr(line.find("1-Jan-1997") + 11), row.line_end);
  EXPECT_EQ(letter_caption(*letter, "someone", row.platform), row.caption);
  EXPECT_EQ(letter_file_name(*letter, row.platform), row.file_name);
  EXPECT_EQ(letter->envelope.subject, row.subject) << "the letter keeps its bytes";
}

INSTANTIATE_TEST_SUITE_P(
    Rows, LetterShown,
    testing::Values(shown_row{"PlainAscii", "Li", "Re: a b c d e f", 1,
                              "Li                 (  100) Re: a b c d e f",
                              "Li; 1-Jan-1997; Re: a b c d e f", "Re:abcde"},
                    shown_row{"EncodedWordsIntoTheGbCodePage",
                              "=?UTF-8?B?5p2O?=", "=?GB2312?B?1tDOxA==?= x", 1,
                              "\xC0\xEE                 (  100) \xD6\xD0\xCE\xC4 x",
                              "李; 1-Jan-1997; 中文 x", "中文x"},
                    shown_row{"EncodedWordsIntoTheBig5CodePage", "Li", "=?UTF-8?B?5Lit5paH?=", 2,
                              "Li                 (  100) \xA4\xA4\xA4\xE5", "Li; 1-Jan-1997; 中文",
                              "中文"},
                    shown_row{"RawGbBytesStay", "", "\xD6\xD0 a/b\\c", 1,
                              "?                  (  100) \xD6\xD0 a/b\\c",
                              "someone; 1-Jan-1997; 中 a/b\\c", "中abc"}),
    row_name());

struct part_name_row {
  std::string name;
  letters::parameters parameters;
  std::string file_name;
};

class PartFileName : public testing::TestWithParam<part_name_row> {};

TEST_P(PartFileName, IsTheDecodedNameWithoutWhatAFileNameCannotHold) {
  EXPECT_EQ(part_file_name(letters::body(3, "PDF", GetParam().parameters), 1),
            GetParam().file_name);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PartFileName,
    testing::Values(
        part_name_row{"None", {{"CHARSET", "x"}}, ""},
        part_name_row{"Plain", {{"NAME", "report 1.pdf"}}, "report 1.pdf"},
        part_name_row{
            "ExtendedWithAFolder", {{"name*", "UTF-8''..%2F%E6%8A%A5%E5%91%8A.pdf"}}, "..报告.pdf"},
        part_name_row{"FileNameAfterName", {{"FILENAME", "=?GB2312?B?1tDOxA==?="}}, "中文"},
        part_name_row{"OnlyDots", {{"NAME", ".."}}, ""}),
    row_name());

}  // namespace
