// kestrel-mail convert, glyph and render from the outside.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/support/run_program.h"
#include "tests/support/table.h"

namespace {

program_result kestrel_mail(const std::vector<std::string>& arguments,
                            const std::string& input = "") {
  return run_program(KESTREL_MAIL_PROGRAM, arguments, input);
}

struct convert_row {
  std::string name;
  std::string direction;
  std::string input;
  int exit_code;
  std::string out;
  std::string err;
};

class Convert : public testing::TestWithParam<convert_row> {};

TEST_P(Convert, StandardInputToStandardOutput) {
  const convert_row& row = GetParam();
  program_result result = kestrel_mail({"convert", row.direction}, row.input);
  EXPECT_EQ(result.exit_code, row.exit_code);
  EXPECT_EQ(result.out, row.out);
  EXPECT_EQ(result.err, row.err);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Convert,
    testing::Values(
        convert_row{"gb_to_iso", "gb-to-iso2022cn",
                    "\xB0\xA1"
                    "a\r\n",
                    0,
                    "\x1B$)A\x0E\x30\x21\x0F"
                    "a\r\n",
                    ""},
        convert_row{"iso_to_gb", "iso2022cn-to-gb",
                    "\x1B$)A\x0E\x30\x21\x0F"
                    "a",
                    0,
                    "\xB0\xA1"
                    "a",
                    ""},
        convert_row{"big5_to_iso", "big5-to-iso2022cn", "A\xA4\x40", 0, "A\x1B$)G\x0E\x44\x21\x0F",
                    ""},
        convert_row{"empty", "gb-to-iso2022cn", "", 0, "", ""},
        convert_row{"damaged_input_is_reported", "iso2022cn-to-gb",
                    "\x1B$)G\x0E\x44\x21\x44\x22\x0F\n", 1, "\x15\x69\x15\x69\n",
                    "kestrel-mail: 2 characters could not be converted and were replaced\n"},
        convert_row{"one_damaged", "gb-to-iso2022cn", "\xB0\n", 1, "\x1B$)A\x0E\x21\x75\x0F\n",
                    "kestrel-mail: 1 character could not be converted and was replaced\n"}),
    row_name());

TEST(Convert, UnknownDirection) {
  program_result result = kestrel_mail({"convert", "utf8-to-gb"});
  EXPECT_EQ(result.exit_code, 2);
  EXPECT_EQ(result.err,
            "usage: kestrel-mail convert gb-to-iso2022cn|iso2022cn-to-gb|big5-to-iso2022cn\n");
}

TEST(Convert, LargeInputPassesWhole) {
  std::string text;
  for (int i = 0; i < 20000; ++i)
    text += "\xD6\xD0\xCE\xC4 mail \xB2\xE2\xCA\xD4\r\n";
  program_result encoded = kestrel_mail({"convert", "gb-to-iso2022cn"}, text);
  ASSERT_EQ(encoded.exit_code, 0);
  program_result decoded = kestrel_mail({"convert", "iso2022cn-to-gb"}, encoded.out);
  EXPECT_EQ(decoded.exit_code, 0);
  EXPECT_TRUE(decoded.out == text);
}

TEST(Glyph, PrintsSixteenLinesOfSixteen) {
  program_result result = kestrel_mail({"glyph", "hzk16", "B0A1", "--fonts", KESTREL_TEST_FONTS});
  ASSERT_EQ(result.exit_code, 0) << result.err;
  EXPECT_EQ(result.err, "");
  // Unifont's U+554A.
  EXPECT_EQ(result.out,
            "................\n"
            "....###.######..\n"
            "###.#.#.....#...\n"
            "#.#.#.#.....#...\n"
            "#.#.#.#.###.#...\n"
            "#.#.#.#.#.#.#...\n"
            "#.#.##..#.#.#...\n"
            "#.#.#.#.#.#.#...\n"
            "#.#.#.#.#.#.#...\n"
            "#.#.#.#.#.#.#...\n"
            "###.#.#.###.#...\n"
            "#.#.#.#.#.#.#...\n"
            "....##......#...\n"
            "....#.......#...\n"
            "....#.....#.#...\n"
            "....#......#....\n");
  // The same glyph by its 7-bit code, and from the fonts beside the program.
  EXPECT_EQ(kestrel_mail({"glyph", "hzk16", "0x3021"}).out, result.out);
}

TEST(Glyph, HbfFonts) {
  program_result one = kestrel_mail({"glyph", "kcm14", "A440"});
  ASSERT_EQ(one.exit_code, 0) << one.err;
  EXPECT_EQ(one.out, kestrel_mail({"glyph", "cns1", "4421"}).out);
  EXPECT_EQ(std::count(one.out.begin(), one.out.end(), '#'), 15);  // one stroke: 一
  EXPECT_EQ(kestrel_mail({"glyph", "cns2", "2121"}).exit_code, 0);
}

TEST(Glyph, Failures) {
  program_result none = kestrel_mail({"glyph", "kcm14", "FA40"});
  EXPECT_EQ(none.exit_code, 1);
  EXPECT_EQ(none.err, "kestrel-mail: kcm14 has no glyph for code FA40\n");
  EXPECT_EQ(kestrel_mail({"glyph", "hzk16", "0041"}).exit_code, 1);
  program_result missing = kestrel_mail({"glyph", "cns1", "2121", "--fonts", "/nonexistent"});
  EXPECT_EQ(missing.exit_code, 1);
  EXPECT_EQ(missing.err, "kestrel-mail: 不能打开 HBF 文件。 (/nonexistent)\n");
  EXPECT_EQ(kestrel_mail({"glyph", "gb", "B0A1"}).exit_code, 2);
  EXPECT_EQ(kestrel_mail({"glyph", "hzk16", "B0G1"}).exit_code, 2);
  EXPECT_EQ(kestrel_mail({"glyph", "hzk16"}).exit_code, 2);
}

class Render : public testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/kestrel-render-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::string path(const std::string& name) const { return dir_ + "/" + name; }
  static std::string read(const std::string& name) {
    std::ifstream file(name, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
  }
  std::string dir_;
};

TEST_F(Render, WritesAPbmOfTheLaidOutText) {
  std::ofstream(path("gb.txt"), std::ios::binary) << "\xB0\xA1 ab\r\n\xB0\xA1\r\n";
  program_result result = kestrel_mail({"render", "gb", path("gb.txt"), "-o", path("gb.pbm")});
  ASSERT_EQ(result.exit_code, 0) << result.err;
  std::string pbm = read(path("gb.pbm"));
  // Glyph, blank, a, b: 40 pixels wide; two lines.
  ASSERT_EQ(pbm.substr(0, 9), "P4\n40 32\n");
  EXPECT_EQ(pbm.size(), 9u + 5 * 32);
}

TEST_F(Render, EveryViewFromStandardInput) {
  for (std::string view : {"gb", "big5", "cns", "plain"}) {
    program_result result =
        kestrel_mail({"render", view, "-o", path(view + ".pbm"), "--fonts", KESTREL_TEST_FONTS},
                     "\x1B$)A\x0E\x30\x21\x0F\xA4\x40 text\n");
    EXPECT_EQ(result.exit_code, 0) << view << result.err;
    EXPECT_EQ(read(path(view + ".pbm")).substr(0, 3), "P4\n") << view;
  }
}

TEST_F(Render, Failures) {
  EXPECT_EQ(kestrel_mail({"render", "gb", path("none.txt"), "-o", path("x.pbm")}).err,
            "kestrel-mail: cannot read " + path("none.txt") + "\n");
  program_result fonts =
      kestrel_mail({"render", "big5", "-o", path("x.pbm"), "--fonts", dir_}, "a");
  EXPECT_EQ(fonts.exit_code, 1);
  EXPECT_EQ(fonts.err, "kestrel-mail: 不能打开 ASC16 文件 (" + dir_ +
                           ")\nkestrel-mail: 不能打开 HBF 文件。 (" + dir_ +
                           ")\nkestrel-mail: 不能打开 HBF 文件 (" + dir_ + ")\n");
  EXPECT_EQ(kestrel_mail({"render", "gb", "-o", dir_ + "/no/such/dir/x.pbm"}, "a").exit_code, 1);
  EXPECT_EQ(kestrel_mail({"render", "gb"}, "a").exit_code, 2);
  EXPECT_EQ(kestrel_mail({"render", "utf8", "-o", path("x.pbm")}, "a").exit_code, 2);
  EXPECT_EQ(kestrel_mail({"render", "gb", "-o"}, "a").exit_code, 2);
}

TEST(Help, ListsTheChineseCommands) {
  std::string out = kestrel_mail({"--help"}).out;
  EXPECT_NE(out.find("\n  convert gb-to-iso2022cn|"), std::string::npos) << out;
  EXPECT_NE(out.find("\n  glyph hzk16|kcm14|cns1|cns2 CODE"), std::string::npos) << out;
  EXPECT_NE(out.find("\n  render gb|big5|cns|plain [FILE] -o OUT.pbm"), std::string::npos) << out;
}

}  // namespace
