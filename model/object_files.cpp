#include "model/object_files.h"

#include <algorithm>

namespace {

std::uint16_t le16(std::string_view bytes, std::size_t at) {
  if (at + 2 > bytes.size()) return 0;
  return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[at]) |
                                    static_cast<unsigned char>(bytes[at + 1]) << 8);
}

constexpr std::uint32_t kBitmapHeaders[] = {12, 40, 52, 56, 64, 108, 124};

}  // namespace

std::uint32_t le32(std::string_view bytes, std::size_t at) {
  return static_cast<std::uint32_t>(le16(bytes, at)) |
         static_cast<std::uint32_t>(le16(bytes, at + 2)) << 16;
}

void put_le32(std::string& bytes, std::size_t at, std::uint32_t value) {
  for (std::size_t i = 0; i < 4 && at + i < bytes.size(); ++i)
    bytes[at + i] = static_cast<char>(value >> (8 * i) & 0xFF);
}

std::optional<bitmap_facts> bitmap_file_facts(std::string_view bytes) {
  if (bytes.size() < 26 || bytes.substr(0, 2) != "BM") return std::nullopt;
  const std::uint32_t header = le32(bytes, 14);
  bool known = false;
  for (std::uint32_t size : kBitmapHeaders)
    known = known || size == header;
  if (!known || bytes.size() < 14 + header) return std::nullopt;
  bitmap_facts facts;
  if (header == 12) {
    facts.width = le16(bytes, 18);
    facts.height = le16(bytes, 20);
  } else {
    facts.width = static_cast<std::int32_t>(le32(bytes, 18));
    facts.height = static_cast<std::int32_t>(le32(bytes, 22));
    if (header >= 40) {
      facts.x_pixels_per_meter = static_cast<std::int32_t>(le32(bytes, 38));
      facts.y_pixels_per_meter = static_cast<std::int32_t>(le32(bytes, 42));
    }
  }
  if (facts.width <= 0 || facts.height == 0) return std::nullopt;
  return facts;
}

std::uint64_t wave_facts::milliseconds() const {
  const std::uint64_t per_second = static_cast<std::uint64_t>(sample_rate) * block_align;
  return per_second ? data_size * 1000ull / per_second : 0;
}

std::string wave_facts::describe() const {
  std::string text = format == 1 ? "PCM" : "format " + std::to_string(format);
  text += ", " + std::to_string(sample_rate) + " Hz, " + std::to_string(bits) + " bit, ";
  text += channels == 1   ? "mono"
          : channels == 2 ? "stereo"
                          : std::to_string(channels) + " channels";
  return text;
}

std::optional<wave_facts> wave_file_facts(std::string_view bytes) {
  if (bytes.size() < 12 || bytes.substr(0, 4) != "RIFF" || bytes.substr(8, 4) != "WAVE")
    return std::nullopt;
  wave_facts facts;
  bool format_seen = false;
  std::size_t at = 12;
  while (at + 8 <= bytes.size()) {
    const std::string_view id = bytes.substr(at, 4);
    const std::size_t size = le32(bytes, at + 4);
    const std::size_t body = at + 8;
    if (id == "fmt " && size >= 16 && body + 16 <= bytes.size()) {
      facts.format = le16(bytes, body);
      facts.channels = le16(bytes, body + 2);
      facts.sample_rate = le32(bytes, body + 4);
      facts.block_align = le16(bytes, body + 12);
      facts.bits = le16(bytes, body + 14);
      format_seen = true;
    } else if (id == "data" && format_seen) {
      facts.data_offset = body;
      facts.data_size = std::min(size, bytes.size() - body);
      return facts;
    }
    // Chunks are padded to an even length.
    if (size > bytes.size()) break;
    at = body + size + (size & 1);
  }
  return std::nullopt;
}

std::string empty_wave_file() {
  std::string wave = "RIFF....WAVEfmt ....";
  wave.resize(44, '\0');
  wave.replace(36, 4, "data");
  put_le32(wave, 4, 36);
  put_le32(wave, 16, 16);
  wave[20] = 1;  // PCM
  wave[22] = 1;  // mono
  put_le32(wave, 24, 22050);
  put_le32(wave, 28, 22050);
  wave[32] = 1;  // bytes a sample
  wave[34] = 8;  // bits
  return wave;
}
