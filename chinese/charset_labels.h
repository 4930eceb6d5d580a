#pragma once

#include <optional>
#include <string>
#include <string_view>

// Charset labels of RFC 1922 text parts, the Chinese platform setting, and the
// two rules that decide how a labelled text part is shown. Labels are always
// compared without regard to case.

// The Chinese platform setting: which Chinese forms the screen itself shows.
enum : long { PLATFORM_NONE = 0, PLATFORM_GB = 1, PLATFORM_BIG5 = 2, PLATFORM_BOTH = 3 };

bool platform_shows_gb(long platform);
bool platform_shows_big5(long platform);

// The platform value of the setting dialog's two check boxes.
long platform_from_boxes(bool gb, bool big5);

// Outgoing labels: choices 0 to 3 of the setting dialog; choice 4 is any other
// label the user types.
enum : int {
  CHOICE_US_ASCII = 0,
  CHOICE_CN_GB = 1,
  CHOICE_CN_BIG5 = 2,
  CHOICE_ISO_2022_CN = 3,
  CHOICE_OTHER = 4
};
inline constexpr std::string_view kOutgoingLabels[] = {"US-ASCII", "CN-GB", "CN-BIG5",
                                                       "ISO-2022-CN"};

// The choice a label selects when the dialog opens.
int charset_choice_of(std::string_view label);

// The dialog refuses GB with "CN-BIG5" and Big5 with "CN-GB".
inline constexpr std::string_view kInvalidChoiceMessage = "非法的选择";
bool charset_setting_valid(long platform, std::string_view label);

// Incoming labels, each a bit, for saying which labels a renderer accepts.
enum : unsigned {
  LABEL_US_ASCII = 1u << 0,     // "us-ascii"
  LABEL_CN_GB = 1u << 1,        // "cn-gb"
  LABEL_GB2312 = 1u << 2,       // "gb2312"
  LABEL_CN_BIG5 = 1u << 3,      // "cn-big5"
  LABEL_BIG5 = 1u << 4,         // "big5"
  LABEL_ISO_2022_CN = 1u << 5,  // "iso-2022-cn"
  LABELS_ALL = (1u << 6) - 1,
};

// The bit of a recognised label, 0 for any other (and for no label).
unsigned label_bit(const std::optional<std::string_view>& label);

// How a text part is added to the text of a letter (the viewer's and the
// list's renderers).
enum class text_part_addition {
  text,          // the part's text as it is
  decoded_text,  // the part's text through iso2022cn_to_gb
  placeholder,   // the placeholder line, which opens the part when double-clicked
};

// The rule for a part with this label (nothing: no charset parameter) on this
// platform, in a renderer that accepts the labels given as LABEL_ bits.
text_part_addition text_part_addition_rule(const std::optional<std::string_view>& label,
                                           long platform, unsigned accepted);

// What opening (double-clicking) a text part does.
enum class text_part_window {
  cns_view,     // the ISO-2022-CN view
  gb_view,      // the GB view
  big5_view,    // the Big5 view
  ask_to_save,  // kSaveQuestion: Yes saves to a file, No opens the raw view
};

inline constexpr std::string_view kCnsViewTitle = "中文 ISO-2022-CN 字符";
inline constexpr std::string_view kGbViewTitle = "中文 GB 字符";
inline constexpr std::string_view kBig5ViewTitle = "中文 BIG5 字符";
inline constexpr std::string_view kSaveQuestion = "保存数据到文件中吗?";
inline constexpr std::string_view kRawViewTitle = "显示原始数据";

text_part_window text_part_open_rule(const std::optional<std::string_view>& label, long platform);

// The window's title for a view, empty for ask_to_save.
std::string_view text_part_window_title(text_part_window window);
