#pragma once

#include <cstdint>
#include <string>

// Bitmap and wave files made up for tests, their bytes drawn from a seed.

inline void put_le(std::string& bytes, std::size_t at, std::uint32_t value, int size) {
  for (int i = 0; i < size; ++i)
    bytes[at + static_cast<std::size_t>(i)] = static_cast<char>(value >> (8 * i) & 0xFF);
}

// A 24-bit bitmap file of width by height pixels.
inline std::string test_bitmap(int width, int height, std::uint32_t seed = 1) {
  const std::size_t row = (static_cast<std::size_t>(width) * 3 + 3) / 4 * 4;
  std::string bytes(54 + row * static_cast<std::size_t>(height), '\0');
  bytes[0] = 'B';
  bytes[1] = 'M';
  put_le(bytes, 2, static_cast<std::uint32_t>(bytes.size()), 4);
  put_le(bytes, 10, 54, 4);
  put_le(bytes, 14, 40, 4);
  put_le(bytes, 18, static_cast<std::uint32_t>(width), 4);
  put_le(bytes, 22, static_cast<std::uint32_t>(height), 4);
  put_le(bytes, 26, 1, 2);
  put_le(bytes, 28, 24, 2);
  put_le(bytes, 34, static_cast<std::uint32_t>(row * static_cast<std::size_t>(height)), 4);
  put_le(bytes, 38, 3780, 4);
  put_le(bytes, 42, 3780, 4);
  std::uint32_t state = seed;
  for (std::size_t i = 54; i < bytes.size(); ++i) {
    state = state * 1103515245u + 12345u;
    bytes[i] = static_cast<char>(state >> 16);
  }
  return bytes;
}

// A PCM wave file of 8-bit mono samples at 22050 Hz.
inline std::string test_wave(std::size_t samples, std::uint32_t seed = 1) {
  std::string bytes(44 + samples, '\0');
  bytes.replace(0, 4, "RIFF");
  put_le(bytes, 4, static_cast<std::uint32_t>(36 + samples), 4);
  bytes.replace(8, 8, "WAVEfmt ");
  put_le(bytes, 16, 16, 4);
  put_le(bytes, 20, 1, 2);
  put_le(bytes, 22, 1, 2);
  put_le(bytes, 24, 22050, 4);
  put_le(bytes, 28, 22050, 4);
  put_le(bytes, 32, 1, 2);
  put_le(bytes, 34, 8, 2);
  bytes.replace(36, 4, "data");
  put_le(bytes, 40, static_cast<std::uint32_t>(samples), 4);
  std::uint32_t state = seed;
  for (std::size_t i = 44; i < bytes.size(); ++i) {
    state = state * 1103515245u + 12345u;
    bytes[i] = static_cast<char>(state >> 16);
  }
  return bytes;
}
