#include "chinese/hbf_font.h"

#include <algorithm>
#include <cstring>

#include "chinese/font_names.h"
#include "platform/file_names.h"

namespace {

// Lines are read as the format allows them: at most 119 characters.
constexpr int kLineSize = 120;

// Glyph sizes beyond this cannot be a bitmap font of ours to draw.
constexpr int kLargestSide = 1024;

// Reads on from the current position to the next line that begins with the
// keyword; false at the end of the file.
bool find_keyword(std::FILE* file, const char* keyword, char (&line)[kLineSize]) {
  std::size_t length = std::strlen(keyword);
  while (std::fgets(line, kLineSize, file))
    if (std::strncmp(line, keyword, length) == 0) return true;
  return false;
}

std::string directory_of(const std::string& path) {
  std::size_t separator = path.find_last_of("\\/");
  return separator == std::string::npos ? std::string() : path.substr(0, separator + 1);
}

int load_description(hbf_font& font, std::FILE* file, const std::string& directory) {
  char line[kLineSize];
  if (find_keyword(file, "HBF_BITMAP_BOUNDING_BOX", line))
    std::sscanf(line, "%*s%d%d", &font.width, &font.height);
  if (font.width < 0 || font.height < 0 || font.width > kLargestSide || font.height > kLargestSide)
    return HBF_NO_MEMORY;
  font.glyph_bytes = (font.width + 7) / 8 * font.height;
  font.glyph.assign(static_cast<std::size_t>(font.glyph_bytes) + 1, 0);

  int count = 0;
  if (find_keyword(file, "HBF_START_BYTE_2_RANGES", line)) std::sscanf(line, "%*s%d", &count);
  for (int i = 0; i < count && find_keyword(file, "HBF_BYTE_2_RANGE", line); ++i) {
    int first = 0, last = 0;
    std::sscanf(line, "%*s%i-%i", &first, &last);
    font.byte2_ranges.push_back({first, last, static_cast<long>(last) - first + 1});
  }

  count = 0;
  if (find_keyword(file, "HBF_START_CODE_RANGES", line)) std::sscanf(line, "%*s%d", &count);
  for (int i = 0; i < count && find_keyword(file, "HBF_CODE_RANGE", line); ++i) {
    int first = 0, last = 0;
    long offset = 0;
    char name[kLineSize] = "";
    std::sscanf(line, "%*s%i-%i%119s%li", &first, &last, name, &offset);
    hbf_code_range range{first, last, offset, name, nullptr};
    auto shared = std::find_if(font.code_ranges.begin(), font.code_ranges.end(),
                               [&](const hbf_code_range& r) { return r.file_name == name; });
    if (shared != font.code_ranges.end()) {
      range.file = shared->file;
    } else {
      range.file = std::make_shared<unique_fd>(open_for_reading(font_path(directory, name)));
      if (!range.file->valid()) return HBF_NO_BITMAP_FILE;
    }
    font.code_ranges.push_back(std::move(range));
  }
  return HBF_LOADED;
}

bool in_byte2_ranges(const hbf_font& font, long byte) {
  return std::any_of(font.byte2_ranges.begin(), font.byte2_ranges.end(),
                     [&](const hbf_byte2_range& r) { return byte >= r.first && byte <= r.last; });
}

}  // namespace

std::string_view hbf_load_message(int result) {
  switch (result) {
    case HBF_NO_DESCRIPTION:
      return "不能打开 HBF 文件。";
    case HBF_NO_BITMAP_FILE:
      return "不能打开字体文件";
    case HBF_NO_MEMORY:
      return "内存不够.";
    default:
      return {};
  }
}

int hbf_load(hbf_font& font, const std::string& path) {
  hbf_unload(font);
  std::unique_ptr<std::FILE, file_closer> file(std::fopen(host_path(path).c_str(), "r"));
  if (!file) return HBF_NO_DESCRIPTION;
  std::string directory = font.directory.empty() ? directory_of(path) : font.directory;
  int result = load_description(font, file.get(), directory);
  if (result != HBF_LOADED) {
    hbf_unload(font);
    return result;
  }
  font.description_file = std::move(file);
  return HBF_LOADED;
}

void hbf_unload(hbf_font& font) {
  font.code_ranges.clear();  // the last range naming a file closes it
  font.byte2_ranges.clear();
  font.glyph.clear();
  font.width = font.height = font.glyph_bytes = 0;
  font.description_file.reset();
}

int hbf_glyph(hbf_font& font, long code) {
  std::fill(font.glyph.begin(), font.glyph.end(), 0);
  auto range =
      std::find_if(font.code_ranges.begin(), font.code_ranges.end(),
                   [&](const hbf_code_range& r) { return r.first <= code && code <= r.last; });
  // A second byte between the byte-2 ranges has no glyph; the index below
  // would give it a neighbour's.
  if (range == font.code_ranges.end() || !in_byte2_ranges(font, code & 0xFF))
    return HBF_NO_CODE_RANGE;
  long d = code - range->first;
  long row = d / 256, col = d % 256, s = range->first & 0xFF;
  long index;
  if (font.byte2_ranges.size() == 1) {
    const hbf_byte2_range& r = font.byte2_ranges[0];
    index = row * r.count + s + col - r.first;
  } else if (font.byte2_ranges.size() == 2) {
    const hbf_byte2_range& r0 = font.byte2_ranges[0];
    const hbf_byte2_range& r1 = font.byte2_ranges[1];
    long column =
        r1.first - s > col ? s - r0.first + col : r0.last - r0.first - r1.first + s + col + 1;
    index = column + row * (r0.count + r1.count);
  } else {
    return HBF_BYTE2_RANGES;
  }
  // A description may name any offset: one past the end of a file is a
  // short read, not an overflow.
  long position;
  if (__builtin_mul_overflow(index, static_cast<long>(font.glyph_bytes), &position) ||
      __builtin_add_overflow(position, range->offset, &position))
    return 0;
  std::size_t read = read_at(*range->file, position, font.glyph.data(),
                             static_cast<std::size_t>(font.glyph_bytes));
  return static_cast<int>(read);
}
