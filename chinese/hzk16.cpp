#include "chinese/hzk16.h"

#include <algorithm>

#include "chinese/font_names.h"
#include "chinese/file_reading.h"

bool hzk16_open(hzk16_file& file, const std::string& directory) {
  unique_fd fd = open_for_reading(font_path(directory, kHzk16Name));
  if (!fd.valid()) fd = open_for_reading(font_path(directory, "hzk16"));
  file.open = fd.valid();
  file.bytes.assign(kHzk16Size, 0);
  file.bytes.resize(read_at(fd, 0, file.bytes.data(), kHzk16Size));
  return file.open;
}

std::optional<glyph16> hzk16_glyph(const hzk16_file& file, int row, int column) {
  if (row < 1 || row > 94 || column < 1 || column > 94) return std::nullopt;
  std::size_t offset = ((row - 1) * 94 + (column - 1)) * sizeof(glyph16);
  if (offset + sizeof(glyph16) > file.bytes.size()) return std::nullopt;
  glyph16 glyph;
  std::copy_n(file.bytes.begin() + static_cast<long>(offset), glyph.size(), glyph.begin());
  return glyph;
}
