#include "chinese/hbf_glyph16.h"
#include "chinese/iso2022cn_reader.h"
#include "chinese/view_walks.h"

namespace {

// A CNS glyph: the code's, else the font's fallback code's, else the
// replacement (the generated CNS fonts have no code 0xA1BC).
glyph16 cns_glyph(hbf_font& font, const iso2022cn_item& item, const glyph16& replacement) {
  if (auto glyph = hbf_glyph16(font, item.first * 256L + item.second)) return *glyph;
  return hbf_glyph16(font, kHbfFallbackCode).value_or(replacement);
}

}  // namespace

draw_list cns_view_walk(std::string_view text, const hzk16_file& hzk16, hbf_font& cns1,
                        hbf_font& cns2) {
  glyph16 replacement = hzk16_glyph(hzk16, 1, 85).value_or(glyph16{});
  draw_list list;
  int x = 0, y = 0;
  iso2022cn_reader reader(text);
  iso2022cn_item item;
  while (reader.next(item)) {
    switch (item.what) {
      case iso2022cn_item::kind::control:
        if (item.first == '\n') {
          y += kLineHeight;
          x = 0;
        } else if (item.first == '\t') {
          x += kTabStep;
        } else if (item.first == ' ') {
          x += kHalfWidth;
        }
        break;
      case iso2022cn_item::kind::ascii:
        list.push_back(draw_item::make_ascii(x, y, item.first));
        x += kHalfWidth;
        break;
      case iso2022cn_item::kind::pair: {
        glyph16 glyph = replacement;
        if (item.single_shift == 2 || (item.single_shift == 0 && item.charset == 'H')) {
          glyph = cns_glyph(cns2, item, replacement);
        } else if (item.single_shift == 0 && item.charset == 'G') {
          glyph = cns_glyph(cns1, item, replacement);
        } else if (item.single_shift == 0 && item.charset == 'A') {
          glyph = hzk16_glyph(hzk16, item.first - 0x20, item.second - 0x20).value_or(glyph16{});
        }
        list.push_back(draw_item::make_glyph(x, y, glyph));
        x += kGlyphSide;
        break;
      }
      case iso2022cn_item::kind::broken:
        list.push_back(draw_item::make_glyph(x, y, replacement));
        x += kGlyphSide;
        break;
      case iso2022cn_item::kind::unknown_escape:
        list.push_back(draw_item::make_ascii(x, y, '?', true));
        x += kHalfWidth;
        break;
    }
  }
  return list;
}
