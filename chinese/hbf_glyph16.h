#pragma once

#include <algorithm>
#include <optional>

#include "chinese/draw_list.h"
#include "chinese/hbf_font.h"

// The 16x16 glyph of a code in an HBF font, or nothing when fewer than its 32
// bytes can be read.
inline std::optional<glyph16> hbf_glyph16(hbf_font& font, long code) {
  if (hbf_glyph(font, code) < static_cast<int>(sizeof(glyph16))) return std::nullopt;
  glyph16 glyph;
  std::copy_n(font.glyph.begin(), glyph.size(), glyph.begin());
  return glyph;
}

// The glyph of a code, else that of kHbfFallbackCode, else blank.
inline glyph16 hbf_glyph_or_fallback(hbf_font& font, long code) {
  if (auto glyph = hbf_glyph16(font, code)) return *glyph;
  return hbf_glyph16(font, kHbfFallbackCode).value_or(glyph16{});
}
