#include "model/stored_data.h"

#include <cstdint>

#include "model/embedded_object.h"
#include "model/object_files.h"

namespace {

struct file_header {
  std::size_t size;          // bytes of the header
  std::size_t length_field;  // where in it the 32-bit length is
  std::int64_t beyond;       // what the length counts besides the bytes after the header
  std::size_t skipped;       // bytes between the header and the rest of the file
};

constexpr file_header kBitmapHeader{14, 2, 14, 0};
constexpr file_header kWave95Header{36, 4, 28, 0};
constexpr file_header kWave311Header{35, 4, 27, 0};
constexpr file_header kWaveNtHeader{35, 4, 27, 12};

std::optional<std::string> cut_at(std::string_view stored, std::size_t at, const file_header& h) {
  if (at > stored.size() || stored.size() - at < h.size + h.skipped) return std::nullopt;
  std::string file(stored.substr(at, h.size));
  // The length field counts the skipped bytes too.
  if (h.skipped) put_le32(file, h.length_field, le32(file, h.length_field) - h.skipped);
  const std::size_t rest_at = at + h.size + h.skipped;
  const std::int64_t present = static_cast<std::int64_t>(stored.size() - rest_at);
  std::int64_t n = static_cast<std::int64_t>(le32(file, h.length_field)) - h.beyond;
  if (n < 1 || n > present) n = present;
  file.append(stored.substr(rest_at, static_cast<std::size_t>(n)));
  return file;
}

std::optional<std::string> cut_found(std::string_view stored, std::string_view start,
                                     const file_header& h) {
  const std::size_t at = stored.find(start);
  if (at == std::string_view::npos) return std::nullopt;
  return cut_at(stored, at, h);
}

}  // namespace

std::optional<std::string> cut_bitmap(std::string_view stored) {
  return cut_found(stored, "BM", kBitmapHeader);
}

std::optional<std::string> cut_wave_95(std::string_view stored) {
  return cut_found(stored, "RIFF", kWave95Header);
}

std::optional<std::string> cut_wave_311(std::string_view stored) {
  return cut_at(stored, kFixedSoundOffset, kWave311Header);
}

std::optional<std::string> cut_wave_nt(std::string_view stored) {
  return cut_at(stored, kFixedSoundOffset, kWaveNtHeader);
}
