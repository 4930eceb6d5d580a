// kestrel-mail box view and box cat: a letter's text as the viewer and the
// list's Save make it, in the letter's bytes or in UTF-8 for a terminal.

#include <gtest/gtest.h>

#include "model/box_file.h"
#include "model/letter_text.h"
#include "tests/support/letter_builder.h"
#include "tests/support/run_program.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/table.h"

namespace {

using letters::bytes;
using letters::multipart;
using letters::text;
using strings = std::vector<std::string>;

const std::string kGb = "\xD6\xD0\xCE\xC4";    // 中文 in GB 2312
const std::string kBig5 = "\xA4\xA4\xA4\xE5";  // 中文 in Big5
const std::string kHeader =
    "From        : li@pku.edu.cn\r\nDate        :  5-Dec-1996 10:00:00 +0800\r\n"
    "Subject     : =?UTF-8?B?5Lit?=\r\nMime-Version: 1.0\r\n";
const std::string kMixed =
    "Content-Type: multipart/MIXED\r\n--------- MULTIPART BOUNDARY ----------\r\n";
const std::string kPart = "--------- MULTIPART BOUNDARY ----------\r\n";

struct command_row {
  std::string name;
  std::vector<std::string> arguments;  // after the file and the number 1
  int exit_code;
  std::string out;
};

class BoxFile : public testing::Test {
 protected:
  void SetUp() override {
    CVelmarDocData data;
    data.letters.push_back(letters::letter(
        multipart(text("CN-GB", kGb), text("CN-BIG5", kBig5), bytes(5, "GIF", "GIF89a")),
        "=?UTF-8?B?5Lit?="));
    std::string reason;
    ASSERT_TRUE(box_file_save(box_, data, reason)) << reason;
  }
  scratch_folder folder_;
  std::string box_ = folder_.file("In.box");
};

class LetterText : public BoxFile, public testing::WithParamInterface<command_row> {};

TEST_P(LetterText, IsWrittenAsAsked) {
  std::vector<std::string> arguments{"box", GetParam().arguments[0], box_, "1"};
  arguments.insert(arguments.end(), GetParam().arguments.begin() + 1, GetParam().arguments.end());
  program_result result = run_program(KESTREL_MAIL_PROGRAM, arguments);
  EXPECT_EQ(result.exit_code, GetParam().exit_code) << result.err;
  EXPECT_EQ(result.out, GetParam().out);
}

const std::string kGbShown =
    kHeader + kMixed + "Content-Type: text/PLAIN; CHARSET=CN-GB\r\n\r\n" + kGb + "\r\n\r\n" +
    kPart + "Content-Type: text/PLAIN; CHARSET=CN-BIG5\r\n" +
    "\r\n>> TEXT:DOUBLE-CLICK-HERE-TO-DISPLAY-OR-SAVE <<\r\n\r\n" + kPart +
    "Content-Type: image/GIF\r\n" + "\r\n>> IMAGE:DOUBLE-CLICK-HERE-TO-DISPLAY-OR-SAVE <<\r\n\r\n";

INSTANTIATE_TEST_SUITE_P(
    Rows, LetterText,
    testing::Values(
        command_row{"ViewAsTheViewerSavesIt", strings{"view", "--hzos", "1"}, 0, kGbShown},
        command_row{"ViewBothInUtf8", strings{"view", "--utf8"}, 0,
                    kHeader + kMixed +
                        "Content-Type: text/PLAIN; CHARSET=CN-GB\r\n\r\n中文\r\n\r\n" + kPart +
                        "Content-Type: text/PLAIN; CHARSET=CN-BIG5\r\n\r\n中文\r\n\r\n" + kPart +
                        "Content-Type: image/GIF\r\n" +
                        "\r\n>> IMAGE:DOUBLE-CLICK-HERE-TO-DISPLAY-OR-SAVE <<\r\n\r\n"},
        command_row{"CatInUtf8ForATerminal", strings{"cat", "--utf8"}, 0,
                    "发信人   : li@pku.edu.cn\r\n日期     :  5-Dec-1996 10:00:00 +0800\r\n"
                    "题目     : =?UTF-8?B?5Lit?=\r\nMime-版本: 1.0\r\n内容类型 : 多报文/MIXED\r\n"
                    "---------------- 多报文分界 -----------------\r\n"
                    "内容类型 : 文本/PLAIN; CHARSET=CN-GB\r\n\r\n中文\r\n\r\n"
                    "---------------- 多报文分界 -----------------\r\n"
                    "内容类型 : 文本/PLAIN; CHARSET=CN-BIG5\r\n\r\n中文\r\n\r\n"
                    "---------------- 多报文分界 -----------------\r\n"
                    "内容类型 : 图象/GIF\r\n\r\n>> 图象 双击此行来保存或显示 <<\r\n\r\n"},
        command_row{"APartInUtf8", strings{"cat", "--part", "2", "--utf8"}, 0, "中文"},
        command_row{"APictureIsNotConverted", strings{"cat", "--part", "3", "--utf8"}, 1, ""},
        command_row{"ViewRefusesAPlatformPastThree", strings{"view", "--hzos", "4"}, 2, ""}),
    row_name());

TEST_F(BoxFile, CatWritesTheTextOfTheListsSave) {
  std::string reason;
  std::unique_ptr<CVelmarDocData> data = box_file_open(box_, reason);
  ASSERT_TRUE(data) << reason;
  for (long platform : {1, 2}) {
    program_result result = run_program(
        KESTREL_MAIL_PROGRAM, {"box", "cat", box_, "1", "--platform", std::to_string(platform)});
    EXPECT_EQ(result.out, letter_display_text(*data->letters[0], platform)) << platform;
  }
}

}  // namespace
