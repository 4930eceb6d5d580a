#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// What Kestrel reads in the two files a letter carries pictures and sounds
// as: a Windows bitmap file and a RIFF wave file.

// Little-endian numbers in bytes; zero past the end.
std::uint32_t le32(std::string_view bytes, std::size_t at);
void put_le32(std::string& bytes, std::size_t at, std::uint32_t value);

struct bitmap_facts {
  std::int32_t width = 0;
  std::int32_t height = 0;  // negative for a picture stored top row first
  std::int32_t x_pixels_per_meter = 0;
  std::int32_t y_pixels_per_meter = 0;
};

// The facts of a bitmap file; nothing when the bytes are not one ("BM",
// a known header size, a picture of at least one pixel).
std::optional<bitmap_facts> bitmap_file_facts(std::string_view bytes);

struct wave_facts {
  std::uint16_t format = 0;  // 1 for PCM
  std::uint16_t channels = 0;
  std::uint32_t sample_rate = 0;
  std::uint16_t bits = 0;
  std::uint16_t block_align = 0;
  std::size_t data_offset = 0;  // where the samples start in the file
  std::size_t data_size = 0;    // how many of them the file holds

  // The length in milliseconds.
  std::uint64_t milliseconds() const;
  // "PCM, 22050 Hz, 8 bit, mono" and the like.
  std::string describe() const;
};

// The facts of a wave file: "RIFF", "WAVE", a format chunk and a data chunk
// (cut to the bytes present); nothing when the bytes are not one.
std::optional<wave_facts> wave_file_facts(std::string_view bytes);

// A wave file of no samples, PCM 22050 Hz 8 bit mono: a new sound.
std::string empty_wave_file();
