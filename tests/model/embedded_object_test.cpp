// What an object is by its type name or a part's subtype, and the stored
// object data that cannot be read.

#include "model/embedded_object.h"

#include <gtest/gtest.h>

#include <cctype>
#include <fstream>

#include "tests/support/media_files.h"
#include "tests/support/table.h"

namespace {

struct type_row {
  std::string name;
  std::string type_name;
  int kind;
  std::uint16_t mime_type;
  std::string subtype;
};

class TypeNames : public testing::TestWithParam<type_row> {};

TEST_P(TypeNames, ClassifyTheObject) {
  const type_row& row = GetParam();
  EXPECT_EQ(kind_of_type_name(row.type_name), row.kind);
  EXPECT_EQ(mime_type_of(row.type_name), row.mime_type);
  EXPECT_EQ(subtype_of(row.type_name), row.subtype);
  // The subtype brings the same kind back on receipt, whatever its case.
  std::string upper = row.subtype;
  for (char& c : upper)
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  EXPECT_EQ(kind_of_subtype(row.subtype), row.kind);
  EXPECT_EQ(kind_of_subtype(upper), row.kind);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, TypeNames,
    testing::Values(type_row{"sound", "Sound", 2, 4, "WAV"},
                    type_row{"sound_recorder", "microsoft sound recorder server", 2, 4, "WAV"},
                    type_row{"wave_sound", "WAVE SOUND", 2, 4, "WAV"},
                    type_row{"paintbrush", "Paintbrush Picture", 1, 5, "Bitmap"},
                    type_row{"paint", "paint", 1, 5, "Bitmap"},
                    type_row{"anything_else", "Microsoft Equation 2.0", 0, 3,
                             "Microsoft Equation 2.0"}),
    row_name());

std::string stored(const embedded_object& object, int layout) {
  archive_memory_sink sink;
  archive ar(sink);
  write_object_data(ar, object, layout);
  EXPECT_TRUE(ar.flush());
  return sink.bytes();
}

struct damage_row {
  std::string name;
  std::string bytes;
  std::string error_start;
};

class DamagedObjects : public testing::TestWithParam<damage_row> {};

TEST_P(DamagedObjects, AreArchiveFaults) {
  const damage_row& row = GetParam();
  archive_memory_source source(row.bytes);
  archive ar(source, {});
  int layout = -1;
  read_object_data(ar, layout);
  EXPECT_TRUE(ar.failed());
  EXPECT_EQ(ar.error().rfind(row.error_start, 0), 0u) << ar.error();
}

std::string changed(std::string bytes, std::size_t at, std::string_view with) {
  return bytes.replace(at, with.size(), with);
}

const embedded_object kSound{kSoundTypeName, test_wave(100)};
const embedded_object kPicture{kPictureTypeName, test_bitmap(3, 3)};

INSTANTIATE_TEST_SUITE_P(
    Rows, DamagedObjects,
    testing::Values(
        damage_row{"another_signature", changed(stored(kSound, 1), 0, "XOBJ"),
                   "not an embedded object"},
        damage_row{"layout_3", changed(stored(kSound, 1), 4, "\x03"), "a damaged embedded object"},
        damage_row{"size_not_in_digits", changed(stored(kSound, 1), 5, "00000x"),
                   "a damaged embedded object"},
        damage_row{"size_past_the_end", changed(stored(kSound, 1), 5, "0999999999"),
                   "an object of 999999999 bytes"},
        damage_row{"fixed_layout_gap_not_zero", changed(stored(kSound, 0), 100, "?"),
                   "a damaged embedded sound"},
        damage_row{"picture_that_is_no_bitmap",
                   stored(embedded_object{kPictureTypeName, "BMxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx"}, 1),
                   "a damaged embedded picture"},
        damage_row{"cut_short", stored(kPicture, 2).substr(0, 60), ""}),
    row_name());

TEST(ObjectFiles, MadeByTheFileNameAndItsBytes) {
  const std::string folder = testing::TempDir();
  const std::pair<std::string, std::string> files[] = {{"a.bmp", test_bitmap(2, 2)},
                                                       {"b.WAV", test_wave(4)},
                                                       {"c.bmp", test_wave(4)},
                                                       {"d.png", test_bitmap(2, 2)}};
  for (const auto& [name, bytes] : files)
    std::ofstream(folder + name, std::ios::binary) << bytes;
  EXPECT_EQ(object_from_file(folder + "a.bmp")->type_name, kPictureTypeName);
  EXPECT_EQ(object_from_file(folder + "b.WAV")->type_name, kSoundTypeName);
  EXPECT_FALSE(object_from_file(folder + "c.bmp"));
  EXPECT_FALSE(object_from_file(folder + "d.png"));
  EXPECT_FALSE(object_from_file(folder + "missing.wav"));
}

}  // namespace
