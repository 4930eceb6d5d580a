#include "chinese/ascii_font.h"

#include "chinese/font_names.h"
#include "chinese/file_reading.h"

bool ascii_font_load(ascii_font& font, const std::string& directory) {
  unique_fd file = open_for_reading(font_path(directory, kAsc16Name));
  return read_at(file, 0, font.glyphs.data(), sizeof font.glyphs) == sizeof font.glyphs;
}
