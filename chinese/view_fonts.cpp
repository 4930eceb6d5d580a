#include "chinese/view_fonts.h"

#include "chinese/font_names.h"

namespace {

bool load_hbf(hbf_font& font, const std::string& directory, std::string_view name) {
  if (font.loaded()) return true;
  font.directory = directory;
  if (hbf_load(font, font_path(directory, name)) == HBF_LOADED) return true;
  hbf_unload(font);
  return false;
}

}  // namespace

std::string_view chinese_fonts_load(chinese_fonts& fonts, chinese_view view) {
  if (!fonts.ascii_loaded) fonts.ascii_loaded = ascii_font_load(fonts.ascii, fonts.directory);
  if (!fonts.ascii_loaded) return kAsciiFontMessage;
  bool needs_hzk16 = view == chinese_view::gb || view == chinese_view::cns;
  if (needs_hzk16 && !fonts.hzk16.is_open() && !hzk16_open(fonts.hzk16, fonts.directory))
    return kHzk16Message;
  if (view == chinese_view::big5 && !load_hbf(fonts.kcm14, fonts.directory, kKcm14Name))
    return kBig5FontMessage;
  if (view == chinese_view::cns && (!load_hbf(fonts.cns1, fonts.directory, kCns1Name) ||
                                    !load_hbf(fonts.cns2, fonts.directory, kCns2Name)))
    return kCnsFontMessage;
  return {};
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
