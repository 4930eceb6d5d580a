// Cutting a picture's or a sound's file out of an object's stored data, at
// the edges: length fields that cannot be trusted and headers not there.

#include "model/stored_data.h"

#include <gtest/gtest.h>

#include "tests/support/media_files.h"
#include "tests/support/table.h"

namespace {

using cutter = std::optional<std::string> (*)(std::string_view);

struct cut_row {
  std::string name;
  cutter cut;
  std::string stored;
  std::optional<std::string> file;
};

class Cutting : public testing::TestWithParam<cut_row> {};

TEST_P(Cutting, FindsTheFile) {
  const cut_row& row = GetParam();
  std::optional<std::string> file = row.cut(row.stored);
  ASSERT_EQ(file.has_value(), row.file.has_value());
  if (file) {
    EXPECT_TRUE(*file == *row.file) << file->size() << " bytes, not " << row.file->size();
  }
}

std::string with_length(std::string file, std::size_t at, std::uint32_t length) {
  put_le(file, at, length, 4);
  return file;
}

const std::string kPicture = test_bitmap(5, 3);
const std::string kWave = test_wave(300);
const std::string kBefore = "KOBJ\x01 stored data ahead ";
const std::string kAfter(26, 'x');
const std::string kFixed(3610, 'z');

// The NT layout of a wave file: its length raised by 12, 12 bytes after 35.
std::string nt_layout(const std::string& wave) {
  std::string stored = with_length(wave, 4, static_cast<std::uint32_t>(wave.size() - 8 + 12));
  stored.insert(35, std::string(12, '\0'));
  return stored;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Cutting,
    testing::Values(
        cut_row{"bitmap_between_other_bytes", cut_bitmap, kBefore + kPicture + kAfter, kPicture},
        cut_row{"bitmap_size_zero_takes_all_to_the_end", cut_bitmap,
                kBefore + with_length(kPicture, 2, 0) + kAfter,
                with_length(kPicture, 2, 0) + kAfter},
        cut_row{"bitmap_size_a_few_bytes_past_the_end_adds_no_bytes", cut_bitmap,
                kBefore + with_length(kPicture, 2, static_cast<std::uint32_t>(kPicture.size() + 6)),
                with_length(kPicture, 2, static_cast<std::uint32_t>(kPicture.size() + 6))},
        cut_row{"no_bm_no_bitmap", cut_bitmap, kBefore + kPicture.substr(2) + kAfter, std::nullopt},
        cut_row{"bm_without_a_whole_header", cut_bitmap, kBefore + "BM\x10", std::nullopt},
        cut_row{"wave_95_after_other_bytes", cut_wave_95, kBefore + kWave + kAfter, kWave},
        cut_row{"wave_95_length_zero_takes_all_to_the_end", cut_wave_95,
                kBefore + with_length(kWave, 4, 0), with_length(kWave, 4, 0)},
        cut_row{"no_riff_no_wave", cut_wave_95, kBefore + "RIF" + kWave.substr(4), std::nullopt},
        cut_row{"wave_311_at_3610", cut_wave_311, kFixed + kWave + kAfter, kWave},
        cut_row{"wave_311_longer_than_64k", cut_wave_311, kFixed + test_wave(70000) + kAfter,
                test_wave(70000)},
        cut_row{"wave_311_stored_data_too_short", cut_wave_311, kFixed + kWave.substr(0, 30),
                std::nullopt},
        cut_row{"wave_nt_skips_12_bytes", cut_wave_nt, kFixed + nt_layout(kWave) + kAfter, kWave},
        // The length 0x1F4 is stored as 0x200: lowering its lowest byte
        // alone would give 0x2F4.
        cut_row{"wave_nt_length_lowered_with_the_borrow", cut_wave_nt,
                kFixed + nt_layout(test_wave(0x1F4 - 36)) + kAfter, test_wave(0x1F4 - 36)},
        cut_row{"wave_nt_longer_than_64k", cut_wave_nt, kFixed + nt_layout(test_wave(1 << 20)),
                test_wave(1 << 20)}),
    row_name());

}  // namespace
