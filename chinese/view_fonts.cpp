#include "chinese/view_fonts.h"

#include "chinese/font_names.h"

namespace {

// Loads an HBF font unless it is loaded; on failure adds its load message.
bool load_hbf(hbf_font& font, const std::string& directory, std::string_view name,
              std::vector<std::string_view>& messages) {
  if (font.loaded()) return true;
  font.directory = directory;
  int result = hbf_load(font, font_path(directory, name));
  if (result == HBF_LOADED) return true;
  hbf_unload(font);
  std::string_view message = hbf_load_message(result);
  if (!message.empty()) messages.push_back(message);
  return false;
}

}  // namespace

std::vector<std::string_view> chinese_fonts_load(chinese_fonts& fonts, chinese_view view) {
  std::vector<std::string_view> messages;
  if (!fonts.ascii_loaded) fonts.ascii_loaded = ascii_font_load(fonts.ascii, fonts.directory);
  if (!fonts.ascii_loaded) messages.push_back(kAsciiFontMessage);
  bool needs_hzk16 = view == chinese_view::gb || view == chinese_view::cns;
  if (needs_hzk16 && !fonts.hzk16.is_open() && !hzk16_open(fonts.hzk16, fonts.directory))
    messages.push_back(kHzk16Message);
  if (view == chinese_view::big5 && !load_hbf(fonts.kcm14, fonts.directory, kKcm14Name, messages))
    messages.push_back(kBig5FontMessage);
  if (view == chinese_view::cns) {
    bool plane1 = load_hbf(fonts.cns1, fonts.directory, kCns1Name, messages);
    bool plane2 = load_hbf(fonts.cns2, fonts.directory, kCns2Name, messages);
    if (!plane1 || !plane2) messages.push_back(kCnsFontMessage);
  }
  return messages;
}

draw_list chinese_view_walk(chinese_fonts& fonts, chinese_view view, std::string_view text) {
  switch (view) {
    case chinese_view::gb:
      return gb_view_walk(text, fonts.hzk16);
    case chinese_view::big5:
      return big5_view_walk(text, fonts.kcm14);
    case chinese_view::cns:
      return cns_view_walk(text, fonts.hzk16, fonts.cns1, fonts.cns2);
    case chinese_view::huge:
      break;
  }
  return huge_view_walk(text);
}
