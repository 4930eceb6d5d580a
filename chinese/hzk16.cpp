#include "chinese/hzk16.h"

#include "chinese/font_names.h"

bool hzk16_open(hzk16_file& file, const std::string& directory) {
  file.fd = open_for_reading(font_path(directory, kHzk16Name));
  if (!file.fd.valid()) file.fd = open_for_reading(font_path(directory, "hzk16"));
  return file.is_open();
}

std::optional<glyph16> hzk16_glyph(const hzk16_file& file, int row, int column) {
  if (row < 1 || row > 94 || column < 1 || column > 94) return std::nullopt;
  glyph16 glyph{};
  long offset = ((row - 1) * 94L + (column - 1)) * 32;
  if (read_at(file.fd, offset, glyph.data(), glyph.size()) != glyph.size()) return std::nullopt;
  return glyph;
}
