#include "chinese/charset_labels.h"

#include <gtest/gtest.h>

#include "tests/support/table.h"

namespace {

using addition = text_part_addition;
using window = text_part_window;

constexpr unsigned kViewerTop =
    LABEL_US_ASCII | LABEL_CN_GB | LABEL_GB2312 | LABEL_CN_BIG5 | LABEL_BIG5;
constexpr unsigned kViewerNested = LABEL_US_ASCII | LABEL_CN_GB | LABEL_CN_BIG5 | LABEL_ISO_2022_CN;

struct addition_row {
  std::string name;
  std::optional<std::string> label;
  long platform;
  unsigned accepted;
  addition expected;
};

class Addition : public testing::TestWithParam<addition_row> {};

TEST_P(Addition, FollowsLabelAndPlatform) {
  const addition_row& row = GetParam();
  std::optional<std::string_view> label;
  if (row.label) label = *row.label;
  EXPECT_EQ(text_part_addition_rule(label, row.platform, row.accepted), row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Addition,
    testing::Values(
        addition_row{"ascii_always", "US-ASCII", PLATFORM_NONE, LABELS_ALL, addition::text},
        addition_row{"gb_on_gb", "cn-gb", PLATFORM_GB, LABELS_ALL, addition::text},
        addition_row{"gb2312_on_both", "GB2312", PLATFORM_BOTH, LABELS_ALL, addition::text},
        addition_row{"gb_on_big5", "CN-GB", PLATFORM_BIG5, LABELS_ALL, addition::placeholder},
        addition_row{"big5_on_big5", "Big5", PLATFORM_BIG5, LABELS_ALL, addition::text},
        addition_row{"big5_on_gb", "cn-big5", PLATFORM_GB, LABELS_ALL, addition::placeholder},
        addition_row{"iso_on_gb", "ISO-2022-CN", PLATFORM_GB, LABELS_ALL, addition::decoded_text},
        addition_row{"iso_on_both", "iso-2022-cn", PLATFORM_BOTH, LABELS_ALL,
                     addition::decoded_text},
        // Left out entirely, the part could not be found or opened.
        addition_row{"iso_on_big5_is_a_placeholder", "iso-2022-cn", PLATFORM_BIG5, LABELS_ALL,
                     addition::placeholder},
        addition_row{"iso_ext_is_other", "ISO-2022-CN-ext", PLATFORM_GB, LABELS_ALL,
                     addition::placeholder},
        addition_row{"no_label", std::nullopt, PLATFORM_BOTH, LABELS_ALL, addition::placeholder},
        addition_row{"other_label", "utf-8", PLATFORM_BOTH, LABELS_ALL, addition::placeholder},
        addition_row{"viewer_top_refuses_iso", "iso-2022-cn", PLATFORM_GB, kViewerTop,
                     addition::placeholder},
        addition_row{"viewer_nested_refuses_gb2312", "gb2312", PLATFORM_GB, kViewerNested,
                     addition::placeholder},
        addition_row{"viewer_nested_refuses_big5", "big5", PLATFORM_BIG5, kViewerNested,
                     addition::placeholder},
        addition_row{"viewer_nested_takes_cn_gb", "cn-gb", PLATFORM_GB, kViewerNested,
                     addition::text}),
    row_name());

struct open_row {
  std::string name;
  std::optional<std::string> label;
  long platform;
  window expected;
};

class Opening : public testing::TestWithParam<open_row> {};

TEST_P(Opening, ChoosesTheWindow) {
  const open_row& row = GetParam();
  std::optional<std::string_view> label;
  if (row.label) label = *row.label;
  EXPECT_EQ(text_part_open_rule(label, row.platform), row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Opening,
    testing::Values(open_row{"iso_whatever_platform", "ISO-2022-CN", PLATFORM_BOTH,
                             window::cns_view},
                    open_row{"iso_ext", "iso-2022-cn-EXT", PLATFORM_NONE, window::cns_view},
                    open_row{"gb_without_gb", "gb2312", PLATFORM_BIG5, window::gb_view},
                    open_row{"gb_with_gb", "CN-GB", PLATFORM_GB, window::ask_to_save},
                    open_row{"big5_without_big5", "cn-big5", PLATFORM_NONE, window::big5_view},
                    open_row{"big5_with_both", "BIG5", PLATFORM_BOTH, window::ask_to_save},
                    open_row{"ascii", "us-ascii", PLATFORM_NONE, window::ask_to_save},
                    open_row{"unspecified", std::nullopt, PLATFORM_NONE, window::ask_to_save}),
    row_name());

TEST(Opening, WindowTitles) {
  EXPECT_EQ(text_part_window_title(window::cns_view), "中文 ISO-2022-CN 字符");
  EXPECT_EQ(text_part_window_title(window::gb_view), "中文 GB 字符");
  EXPECT_EQ(text_part_window_title(window::big5_view), "中文 BIG5 字符");
  EXPECT_EQ(text_part_window_title(window::ask_to_save), "");
}

TEST(Setting, ChoicesFollowTheLabelWhateverItsCase) {
  const std::pair<const char*, int> choices[] = {
      {"us-ascii", CHOICE_US_ASCII},     {"Cn-Gb", CHOICE_CN_GB},
      {"CN-BIG5", CHOICE_CN_BIG5},       {"iso-2022-cn", CHOICE_ISO_2022_CN},
      {"ISO-2022-CN-EXT", CHOICE_OTHER}, {"", CHOICE_OTHER}};
  for (const auto& [label, choice] : choices)
    EXPECT_EQ(charset_choice_of(label), choice) << label;
}

// The platform from its two boxes (GB, Big5), and the labels it contradicts.
TEST(Setting, RefusesALabelThePlatformContradicts) {
  EXPECT_EQ(platform_from_boxes(false, false), PLATFORM_NONE);
  EXPECT_EQ(platform_from_boxes(true, false), PLATFORM_GB);
  EXPECT_EQ(platform_from_boxes(false, true), PLATFORM_BIG5);
  EXPECT_EQ(platform_from_boxes(true, true), PLATFORM_BOTH);
  EXPECT_FALSE(charset_setting_valid(PLATFORM_GB, "CN-BIG5"));
  EXPECT_FALSE(charset_setting_valid(PLATFORM_BIG5, "cn-gb"));
  EXPECT_FALSE(charset_setting_valid(PLATFORM_BOTH, "CN-GB"));
  EXPECT_TRUE(charset_setting_valid(PLATFORM_BOTH, "ISO-2022-CN"));
  EXPECT_TRUE(charset_setting_valid(PLATFORM_GB, "CN-GB"));
  EXPECT_TRUE(charset_setting_valid(PLATFORM_NONE, "CN-BIG5"));
}

}  // namespace
