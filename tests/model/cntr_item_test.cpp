// Embedded items: the bytes a letter carries for a picture or a sound, made
// and taken back in every environment; the stored form; the extent.

#include "model/cntr_item.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/scratch_directory.h"
#include "tests/support/media_files.h"
#include "tests/support/table.h"

namespace {

// The scratch folder of the run goes at its end.
class scratch_cleanup : public testing::Environment {
 public:
  void TearDown() override { scratch_directory_remove(); }
};
const testing::Environment* const kCleanup = testing::AddGlobalTestEnvironment(new scratch_cleanup);

// A document of the test's own, with a clipboard in memory.
class test_site : public item_site {
 public:
  void document_changed() override { ++modified; }
  void tell(const std::string& message) override { told.push_back(message); }
  bool copy_to_clipboard(const CVelmarCntrItem&, const std::string& stored_form) override {
    if (refuse_copy) return false;
    clipboard = stored_form;
    return true;
  }
  std::optional<std::string> private_clipboard_data() override {
    return lose_private_format ? std::nullopt : clipboard;
  }

  int modified = 0;
  bool refuse_copy = false;
  bool lose_private_format = false;
  std::optional<std::string> clipboard;
  std::vector<std::string> told;
};

std::string text_of(const memory_block& block) {
  return {reinterpret_cast<const char*>(block.data()), block.size()};
}

bool scratch_folder_empty() {
  return std::filesystem::is_empty(*scratch_directory());
}

struct trip_row {
  std::string name;
  int kind;
  std::string file;
  int put_in;  // the environment of the reader
  int get_in;  // the environment of the sender
};

class RoundTrips : public testing::TestWithParam<trip_row> {};

// The sender's getter gives back exactly the file the reader's creator took,
// and leaves no scratch file behind.
TEST_P(RoundTrips, GiveBackTheSameFile) {
  const trip_row& row = GetParam();
  test_site site;
  CVelmarCntrItem item(&site);
  ASSERT_TRUE(item.Put(row.file, row.put_in, row.kind));
  EXPECT_EQ(item.GetSubtype(), row.kind == kKindPicture ? "Bitmap" : "WAV");
  std::optional<memory_block> got = item.Get(row.get_in, row.kind);
  ASSERT_TRUE(got);
  EXPECT_TRUE(text_of(*got) == row.file) << got->size() << " bytes, not " << row.file.size();
  EXPECT_TRUE(site.told.empty());
  EXPECT_TRUE(scratch_folder_empty());
}

std::vector<trip_row> round_trips() {
  std::vector<trip_row> rows;
  const char* names[] = {"311", "95", "nt"};
  for (int env = 0; env < 3; ++env) {
    const std::string in = names[env];
    rows.push_back({"picture_" + in, kKindPicture, test_bitmap(40, 30), env, env});
    rows.push_back({"sound_" + in, kKindSound, test_wave(5000), env, env});
    rows.push_back({"empty_sound_" + in, kKindSound, test_wave(0), env, env});
  }
  // A picture whose length in binary would begin with "BM".
  rows.push_back({"picture_of_0x4D42_bytes", kKindPicture, test_bitmap(6582, 1), 1, 1});
  rows.push_back({"sent_from_nt_read_on_95", kKindSound, test_wave(9000), 1, 2});
  rows.push_back({"sent_from_95_read_on_nt", kKindSound, test_wave(9000), 2, 1});
  rows.push_back({"picture_sent_from_311_read_on_nt", kKindPicture, test_bitmap(3, 9), 2, 0});
  return rows;
}

INSTANTIATE_TEST_SUITE_P(Rows, RoundTrips, testing::ValuesIn(round_trips()), row_name());

TEST(NativeItems, TravelAsTheirStoredForm) {
  test_site site;
  CVelmarCntrItem item(&site);
  item.set_object({"Equation", "an equation's own bytes"});
  item.position = {5, -6, 70, -80};
  std::optional<memory_block> got = item.Get(1, kKindOther);
  ASSERT_TRUE(got);
  EXPECT_EQ(text_of(*got), item.stored_form(1));
  CVelmarCntrItem read(&site);
  ASSERT_TRUE(read.Put(text_of(*got), 1, kKindOther));
  EXPECT_EQ(read.GetTypeName(), "Equation");
  EXPECT_EQ(read.GetSubtype(), "Equation");
  EXPECT_EQ(read.GetMimeType(), 3);
  EXPECT_EQ(read.object()->file, "an equation's own bytes");
  EXPECT_EQ(read.position, item.position);
  EXPECT_TRUE(scratch_folder_empty());
}

struct refusal_row {
  std::string name;
  int environment;
  int kind;
  bool copy_fails;
  bool no_bitmap;
  bool clipboard_loses_it;
  std::string message;  // empty: nothing comes back silently
};

class Refusals : public testing::TestWithParam<refusal_row> {};

TEST_P(Refusals, SayWhyAndGiveNothing) {
  const refusal_row& row = GetParam();
  test_site site;
  site.refuse_copy = row.copy_fails;
  site.lose_private_format = row.clipboard_loses_it;
  CVelmarCntrItem item(&site);
  ASSERT_TRUE(item.Put(test_bitmap(4, 4), 1, kKindPicture));
  if (row.no_bitmap) item.set_object({kPictureTypeName, "not a bitmap at all"});
  EXPECT_FALSE(item.Get(row.environment, row.kind));
  std::vector<std::string> expected;
  if (!row.message.empty()) expected.push_back(row.message);
  EXPECT_EQ(site.told, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Refusals,
    testing::Values(
        refusal_row{"kind_3", 1, 3, false, false, false, "GET Type not in 0-2!"},
        refusal_row{"picture_in_environment_3", 3, 1, false, false, false,
                    "GETBMP Environment NOT In 0-2!"},
        refusal_row{"sound_in_environment_minus_1", -1, 2, false, false, false,
                    "GETWAV Environment NOT In 0-2!"},
        refusal_row{"clipboard_copy_fails", 1, 1, true, false, false, "CLIPBOARD COPY FAILED"},
        refusal_row{"no_private_format_on_the_clipboard", 2, 2, false, false, true, "hcopy fail"},
        refusal_row{"no_bm_in_the_stored_data", 0, 1, false, true, false, ""}),
    row_name());

struct put_row {
  std::string name;
  std::string bytes;
  int environment;
  int kind;
  std::string message;
};

class PutRefusals : public testing::TestWithParam<put_row> {};

TEST_P(PutRefusals, MakeNoObject) {
  const put_row& row = GetParam();
  test_site site;
  CVelmarCntrItem item(&site);
  EXPECT_FALSE(item.Put(row.bytes, row.environment, row.kind));
  EXPECT_FALSE(item.object());
  std::vector<std::string> expected;
  if (!row.message.empty()) expected.push_back(row.message);
  EXPECT_EQ(site.told, expected);
  EXPECT_TRUE(scratch_folder_empty());
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PutRefusals,
    testing::Values(put_row{"kind_7", test_bitmap(2, 2), 1, 7, "PUT Type not in 0-2!"},
                    put_row{"picture_in_environment_5", test_bitmap(2, 2), 5, 1,
                            "PUTBMP Environment NOT In 0-2 !"},
                    put_row{"sound_in_environment_3", test_wave(10), 3, 2,
                            "PUTWAV Environment NOT In 0-2 !"},
                    put_row{"a_wave_as_a_picture", test_wave(10), 1, 1, ""},
                    put_row{"a_bitmap_as_a_sound", test_bitmap(2, 2), 2, 2, ""},
                    put_row{"native_bytes_that_are_no_item", "GIF89a...", 1, 0, ""}),
    row_name());

struct extent_row {
  std::string name;
  item_rect position;
  item_extent extent;
  bool open;
  item_rect expected;
};

class Extents : public testing::TestWithParam<extent_row> {};

// A picture of 96 by 48 pixels at 96 dots an inch: 2540 by 1270 hundredths
// of a millimetre.
TEST_P(Extents, ResizeThePosition) {
  const extent_row& row = GetParam();
  test_site site;
  CVelmarCntrItem item(&site);
  item.set_object({kPictureTypeName, test_bitmap(96, 48)});
  item.position = row.position;
  item.extent = row.extent;
  item.open = row.open;
  EXPECT_EQ(item.OnGetItemPosition(), row.expected);
  item.OnChange();
  EXPECT_EQ(item.extent, (item_extent{2540, 1270}));
  EXPECT_EQ(site.modified, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Extents,
    testing::Values(extent_row{"new_item_sized_by_its_extent", {}, {}, false, {10, -10, 110, -60}},
                    // Not empty: the position query leaves it; the change scales it.
                    extent_row{"sized_item_untouched_by_the_query",
                               {0, 0, 50, -50},
                               {1270, 1270},
                               false,
                               {0, 0, 50, -50}},
                    extent_row{"new_item_sized_even_when_open", {}, {}, true, {10, -10, 110, -60}}),
    row_name());

TEST(Extents, AChangeScalesAClosedItemButNotAnOpenOne) {
  for (bool open : {false, true}) {
    test_site site;
    CVelmarCntrItem item(&site);
    item.set_object({kPictureTypeName, test_bitmap(96, 48)});
    item.position = {0, 0, 33, -50};
    item.extent = {1270, 3810};
    item.open = open;
    item.OnChange();
    // 33 * 2540 / 1270 = 66; 50 * 1270 / 3810 = 16.67, rounded to 17.
    EXPECT_EQ(item.position, (open ? item_rect{0, 0, 33, -50} : item_rect{0, 0, 66, -17}));
  }
}

TEST(StoredForm, AWrongMarkerIsAnArchiveFault) {
  CVelmarCntrItem item;
  item.set_object({kSoundTypeName, test_wave(20)});
  item.position = {1, 2, 3, 4};
  item.extent = {5, 6};
  for (int layout = 0; layout < 3; ++layout) {
    const std::string stored = item.stored_form(layout);
    archive_memory_source source(stored);
    archive ar(source, {});
    CVelmarCntrItem back;
    back.Serialize(ar);
    ASSERT_FALSE(ar.failed()) << ar.error();
    EXPECT_EQ(back.object()->file, item.object()->file);
    EXPECT_EQ(back.position, item.position);
    EXPECT_EQ(back.extent, item.extent);
    EXPECT_EQ(back.environment, layout);

    std::string damaged = stored;
    damaged[damaged.size() - 25] = 0x54;  // the marker's high byte
    archive_memory_source bad_source(damaged);
    archive bad(bad_source, {});
    CVelmarCntrItem refused;
    refused.Serialize(bad);
    EXPECT_EQ(bad.error(), "an embedded item with a wrong marker");
  }
}

}  // namespace
