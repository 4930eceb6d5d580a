// kestrel-mail convert, glyph and render from the outside.

#include <algorithm>

#include "tests/support/file_text.h"
#include "tests/support/kestrel_mail.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/table.h"

namespace {

using testing::_;

class Chinese : public testing::TestWithParam<cli_row> {};

TEST_P(Chinese, PrintsAndExitsAsDocumented) {
  expect_runs({GetParam()});
}

// Unifont's U+554A, 啊.
const std::string kAh =
    "................\n....###.######..\n###.#.#.....#...\n#.#.#.#.....#...\n"
    "#.#.#.#.###.#...\n#.#.#.#.#.#.#...\n#.#.##..#.#.#...\n#.#.#.#.#.#.#...\n"
    "#.#.#.#.#.#.#...\n#.#.#.#.#.#.#...\n###.#.#.###.#...\n#.#.#.#.#.#.#...\n"
    "....##......#...\n....#.......#...\n....#.....#.#...\n....#......#....\n";

// 啊 in GB 2312, and in ISO-2022-CN with its designation and shifts.
const std::string kGbAh = "\xB0\xA1";
const std::string kIsoAh = "\x1B$)A\x0E\x30\x21\x0F";

INSTANTIATE_TEST_SUITE_P(
    Rows, Chinese,
    testing::Values(
        cli_row{"gb_to_iso", args("convert", "gb-to-iso2022cn"), 0, kIsoAh + "a\r\n", "",
                kGbAh + "a\r\n"},
        cli_row{"iso_to_gb", args("convert", "iso2022cn-to-gb"), 0, kGbAh + "a", "", kIsoAh + "a"},
        cli_row{"big5_to_iso", args("convert", "big5-to-iso2022cn"), 0, "A\x1B$)G\x0E\x44\x21\x0F",
                "", "A\xA4\x40"},
        cli_row{"empty", args("convert", "gb-to-iso2022cn"), 0, "", ""},
        cli_row{"damaged_input_is_reported", args("convert", "iso2022cn-to-gb"), 1,
                "\x15\x69\x15\x69\n",
                "kestrel-mail: 2 characters could not be converted and were replaced\n",
                "\x1B$)G\x0E\x44\x21\x44\x22\x0F\n"},
        cli_row{"one_damaged", args("convert", "gb-to-iso2022cn"), 1, "\x1B$)A\x0E\x21\x75\x0F\n",
                "kestrel-mail: 1 character could not be converted and was replaced\n", "\xB0\n"},
        cli_row{"unknown_direction", args("convert", "utf8-to-gb"), 2, _,
                "usage: kestrel-mail convert gb-to-iso2022cn|iso2022cn-to-gb|big5-to-iso2022cn\n"},
        cli_row{"glyph", args("glyph", "hzk16", "B0A1", "--fonts", KESTREL_TEST_FONTS), 0, kAh, ""},
        // By its 7-bit code, and from the fonts beside the program.
        cli_row{"glyph_seven_bit_code", args("glyph", "hzk16", "0x3021"), 0, kAh},
        cli_row{"glyph_second_plane", args("glyph", "cns2", "2121"), 0},
        cli_row{"glyph_missing", args("glyph", "kcm14", "FA40"), 1, _,
                "kestrel-mail: kcm14 has no glyph for code FA40\n"},
        cli_row{"glyph_not_chinese", args("glyph", "hzk16", "0041"), 1},
        cli_row{"glyph_no_fonts", args("glyph", "cns1", "2121", "--fonts", "/nonexistent"), 1, _,
                "kestrel-mail: 不能打开 HBF 文件。 (/nonexistent)\n"},
        cli_row{"glyph_unknown_font", args("glyph", "gb", "B0A1"), 2},
        cli_row{"glyph_bad_code", args("glyph", "hzk16", "B0G1"), 2},
        cli_row{"glyph_no_code", args("glyph", "hzk16"), 2}),
    row_name());

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

TEST(Glyph, TheBig5FontAndCnsPlaneOneDrawTheSameCharacter) {
  program_result one = kestrel_mail({"glyph", "kcm14", "A440"});
  ASSERT_EQ(one.exit_code, 0) << one.err;
  EXPECT_EQ(one.out, kestrel_mail({"glyph", "cns1", "4421"}).out);
  EXPECT_EQ(std::count(one.out.begin(), one.out.end(), '#'), 15);  // one stroke: 一
}

class Render : public testing::Test {
 protected:
  std::string path(const std::string& name) const { return folder_.file(name); }
  scratch_folder folder_;
};

TEST_F(Render, WritesAPbmOfTheLaidOutText) {
  std::ofstream(path("gb.txt"), std::ios::binary) << "\xB0\xA1 ab\r\n\xB0\xA1\r\n";
  program_result result = kestrel_mail({"render", "gb", path("gb.txt"), "-o", path("gb.pbm")});
  ASSERT_EQ(result.exit_code, 0) << result.err;
  std::string pbm = file_text(path("gb.pbm"));
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
    EXPECT_EQ(file_text(path(view + ".pbm")).substr(0, 3), "P4\n") << view;
  }
}

TEST_F(Render, Failures) {
  const std::string out = path("x.pbm");
  expect_runs({
      {"missing_file", args("render", "gb", path("none.txt"), "-o", out), 1, _,
       "kestrel-mail: cannot read " + path("none.txt") + "\n"},
      {"no_fonts", args("render", "big5", "-o", out, "--fonts", folder_.path()), 1, _,
       "kestrel-mail: 不能打开 ASC16 文件 (" + folder_.path() + ")\nkestrel-mail: 不能打开 HBF 文件。 (" +
           folder_.path() + ")\nkestrel-mail: 不能打开 HBF 文件 (" + folder_.path() + ")\n",
       "a"},
      {"no_folder", args("render", "gb", "-o", path("no/such/dir/x.pbm")), 1, _, _, "a"},
      {"no_output", args("render", "gb"), 2, _, _, "a"},
      {"unknown_view", args("render", "utf8", "-o", out), 2, _, _, "a"},
      {"output_without_name", args("render", "gb", "-o"), 2, _, _, "a"},
  });
}

}  // namespace
