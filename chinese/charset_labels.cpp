#include "chinese/charset_labels.h"

#include <strings.h>

namespace {

bool same_label(std::string_view a, std::string_view b) {
  return a.size() == b.size() && ::strncasecmp(a.data(), b.data(), a.size()) == 0;
}

}  // namespace

bool platform_shows_gb(long platform) {
  return platform == PLATFORM_GB || platform == PLATFORM_BOTH;
}

bool platform_shows_big5(long platform) {
  return platform == PLATFORM_BIG5 || platform == PLATFORM_BOTH;
}

long platform_from_boxes(bool gb, bool big5) {
  return (gb ? PLATFORM_GB : PLATFORM_NONE) | (big5 ? PLATFORM_BIG5 : PLATFORM_NONE);
}

int charset_choice_of(std::string_view label) {
  for (int choice = CHOICE_US_ASCII; choice < CHOICE_OTHER; ++choice)
    if (same_label(label, kOutgoingLabels[choice])) return choice;
  return CHOICE_OTHER;
}

bool charset_setting_valid(long platform, std::string_view label) {
  if ((platform & PLATFORM_GB) && same_label(label, "CN-BIG5")) return false;
  if ((platform & PLATFORM_BIG5) && same_label(label, "CN-GB")) return false;
  return true;
}

unsigned label_bit(const std::optional<std::string_view>& label) {
  if (!label) return 0;
  constexpr struct {
    std::string_view name;
    unsigned bit;
  } kLabels[] = {{"us-ascii", LABEL_US_ASCII}, {"cn-gb", LABEL_CN_GB},
                 {"gb2312", LABEL_GB2312},     {"cn-big5", LABEL_CN_BIG5},
                 {"big5", LABEL_BIG5},         {"iso-2022-cn", LABEL_ISO_2022_CN}};
  for (const auto& known : kLabels)
    if (same_label(*label, known.name)) return known.bit;
  return 0;
}

text_part_addition text_part_addition_rule(const std::optional<std::string_view>& label,
                                           long platform, unsigned accepted) {
  unsigned bit = label_bit(label) & accepted;
  if (bit == LABEL_US_ASCII) return text_part_addition::text;
  if ((bit & (LABEL_CN_GB | LABEL_GB2312)) && platform_shows_gb(platform))
    return text_part_addition::text;
  if ((bit & (LABEL_CN_BIG5 | LABEL_BIG5)) && platform_shows_big5(platform))
    return text_part_addition::text;
  if (bit == LABEL_ISO_2022_CN && platform_shows_gb(platform))
    return text_part_addition::decoded_text;
  // Everything else, an ISO-2022-CN part on a platform without GB included,
  // gets a line that shows the part is there and opens it.
  return text_part_addition::placeholder;
}

text_part_window text_part_open_rule(const std::optional<std::string_view>& label, long platform) {
  if (!label) return text_part_window::ask_to_save;
  if (same_label(*label, "iso-2022-cn") || same_label(*label, "ISO-2022-CN-ext"))
    return text_part_window::cns_view;
  unsigned bit = label_bit(label);
  if ((bit & (LABEL_CN_GB | LABEL_GB2312)) && !platform_shows_gb(platform))
    return text_part_window::gb_view;
  if ((bit & (LABEL_CN_BIG5 | LABEL_BIG5)) && !platform_shows_big5(platform))
    return text_part_window::big5_view;
  return text_part_window::ask_to_save;
}

std::string_view text_part_window_title(text_part_window window) {
  switch (window) {
    case text_part_window::cns_view:
      return kCnsViewTitle;
    case text_part_window::gb_view:
      return kGbViewTitle;
    case text_part_window::big5_view:
      return kBig5ViewTitle;
    case text_part_window::ask_to_save:
      break;
  }
  return {};
}
