// Mailbox files on disk: saving, opening, damaged files, saves that fail
// part-way and saves cut short by a killed process.

#include "model/box_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <random>

#include "platform/compound_file.h"
#include "platform/safe_save.h"
#include "tests/support/file_text.h"
#include "tests/support/media_files.h"
#include "tests/support/model_letters.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/table.h"

namespace {

namespace fs = std::filesystem;

// A mailbox of `count` letters named by their subjects "<tag> 1", "<tag> 2"...,
// every third with a picture of `picture` bytes.
CVelmarDocData mailbox(const std::string& tag, int count, std::size_t picture = 5000) {
  CVelmarDocData document;
  document.mailbox_name = "IN";
  for (int i = 1; i <= count; ++i) {
    auto letter = listed_letter("N  ", 1000 + i, " 5-Dec-1996 11:53:20 +0800", "Li",
                                "li@example.cn", tag + " " + std::to_string(i));
    if (i % 3 == 0) letter->body = huge_body(5, "GIF", std::string(picture, static_cast<char>(i)));
    document.letters.push_back(std::move(letter));
  }
  return document;
}

std::string contents_of(const CVelmarDocData& document) {
  archive_memory_sink sink;
  std::string reason;
  EXPECT_TRUE(box_contents_write(sink, document, reason)) << reason;
  return sink.bytes();
}

class BoxFiles : public testing::Test {
 protected:
  void save(const CVelmarDocData& document) {
    std::string reason;
    ASSERT_TRUE(box_file_save(file_, document, reason)) << reason;
  }
  // Writes the file as a compound file of one stream holding these bytes.
  void save_compound(const char* stream, const std::string& bytes) {
    std::string reason;
    ASSERT_TRUE(safe_save(
        file_,
        [&](std::FILE* out, std::string& why) {
          compound_file_writer writer;
          archive_sink* sink = nullptr;
          return writer.begin(out, why) && (sink = writer.begin_stream(stream, why)) &&
                 sink->write(reinterpret_cast<const std::byte*>(bytes.data()), bytes.size()) &&
                 writer.end_stream(why) && writer.finish(why);
        },
        reason))
        << reason;
  }

  scratch_folder folder_;
  const std::string file_ = folder_.file("IN.box");
};

TEST_F(BoxFiles, ASavedMailboxOpensWithTheSameData) {
  const CVelmarDocData document = mailbox("saved", 30);
  save(document);
  std::string reason;
  std::unique_ptr<CVelmarDocData> back = box_file_open(file_, reason);
  ASSERT_TRUE(back) << reason;
  EXPECT_EQ(contents_of(*back), contents_of(document));
}

TEST_F(BoxFiles, OlefileReadsTheContentsStream) {
  const CVelmarDocData document = mailbox("ole", 12);
  save(document);
  const std::string python =
      "/usr/bin/python3 -c \"import olefile, sys; o = olefile.OleFileIO(sys.argv[1]); "
      "sys.stdout.buffer.write(repr(o.listdir()).encode() + b'|' + "
      "o.openstream('Contents').read())\" " +
      file_ + " > " + folder_.file("out");
  ASSERT_EQ(std::system(python.c_str()), 0);
  const std::string out = file_text(folder_.file("out"));
  EXPECT_TRUE(out == "[['Contents']]|" + contents_of(document)) << out.substr(0, 40);
}

// Items go into storages of their own beside "Contents", which olefile reads
// too, and come back in order; a wrong marker refuses the whole file.
TEST_F(BoxFiles, ItemsKeepTheirStorages) {
  CVelmarDocData document = mailbox("items", 3);
  const embedded_object objects[] = {{kPictureTypeName, test_bitmap(30, 20)},
                                     {kSoundTypeName, test_wave(7000)},
                                     {"Equation", "its bytes"}};
  for (int i = 0; i < 3; ++i) {
    auto item = std::make_unique<CVelmarCntrItem>();
    item->set_object(objects[i]);
    item->environment = i;
    item->position = {i, -i, 100 + i, -100 - i};
    document.items.push_back(std::move(item));
  }
  save(document);
  const std::string python =
      "/usr/bin/python3 -c \"import olefile, sys; o = olefile.OleFileIO(sys.argv[1]); "
      "sys.stdout.buffer.write(repr(sorted(o.listdir())).encode() + b'|' + "
      "o.openstream('Embedding 2/Contents').read())\" " +
      file_ + " > " + folder_.file("out");
  ASSERT_EQ(std::system(python.c_str()), 0);
  const std::string listed =
      "[['Contents'], ['Embedding 1', 'Contents'], ['Embedding 2', 'Contents'], "
      "['Embedding 3', 'Contents']]|";
  EXPECT_TRUE(file_text(folder_.file("out")) == listed + document.items[1]->stored_form(1));

  std::string reason;
  std::unique_ptr<CVelmarDocData> back = box_file_open(file_, reason);
  ASSERT_TRUE(back) << reason;
  ASSERT_EQ(back->items.size(), 3u);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(back->items[i]->object()->file, objects[i].file);
    EXPECT_EQ(back->items[i]->environment, i);
    EXPECT_EQ(back->items[i]->position, document.items[i]->position);
  }

  std::string damaged = document.items[0]->stored_form(0);
  damaged[damaged.size() - 26] = 0x01;
  ASSERT_TRUE(safe_save(
      file_,
      [&](std::FILE* out, std::string& why) {
        compound_file_writer writer;
        archive_sink* sink = nullptr;
        return writer.begin(out, why) && (sink = writer.begin_stream("Contents", why)) &&
               box_contents_write(*sink, document, why) && writer.end_stream(why) &&
               writer.begin_storage("Embedding 1", why) &&
               (sink = writer.begin_stream("Contents", why)) &&
               sink->write(reinterpret_cast<const std::byte*>(damaged.data()), damaged.size()) &&
               writer.end_stream(why) && writer.end_storage(why) && writer.finish(why);
      },
      reason))
      << reason;
  EXPECT_EQ(box_file_open(file_, reason), nullptr);
  EXPECT_EQ(reason, "Embedding 1: an embedded item with a wrong marker");
}

struct damage_row {
  std::string name;
  const char* stream;  // a compound file of this one stream; null: the bytes are the file
  std::string bytes;
  std::string reason_start;
};

class DamagedFiles : public BoxFiles, public testing::WithParamInterface<damage_row> {};

TEST_P(DamagedFiles, DoNotOpenAndStayAsTheyWere) {
  const damage_row& row = GetParam();
  if (row.stream) {
    save_compound(row.stream, row.bytes);
  } else {
    std::ofstream(file_, std::ios::binary) << row.bytes;
  }
  const std::string before = file_text(file_);
  const auto written = fs::last_write_time(file_);
  std::string reason;
  EXPECT_EQ(box_file_open(file_, reason), nullptr);
  EXPECT_FALSE(reason.empty());
  EXPECT_EQ(reason.rfind(row.reason_start, 0), 0u) << reason;
  EXPECT_EQ(file_text(file_), before);
  EXPECT_EQ(fs::last_write_time(file_), written);
}

std::string half_a_mailbox() {
  const std::string whole = contents_of(mailbox("whole", 40));
  return whole.substr(0, whole.size() / 2);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, DamagedFiles,
    testing::Values(damage_row{"empty", nullptr, "", "not a compound file"},
                    damage_row{"text", nullptr, "From li Thu Dec  5 11:53:20 1996\n\nhello\n",
                               "not a compound file"},
                    damage_row{
                        "compound_header_alone", nullptr,
                        std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + std::string(504, '\0'),
                        "not a compound file"},
                    damage_row{"contents_cut_short", "Contents", half_a_mailbox(), ""},
                    damage_row{"no_contents_stream", "Book", "", "no \"Contents\" stream"}),
    row_name());

// The disk refuses the bytes part of the way through a save: the save says
// so and the old mailbox still opens whole.
TEST_F(BoxFiles, ASaveFailingPartWayLeavesTheOldMailbox) {
  const CVelmarDocData old_letters = mailbox("old", 20);
  save(old_letters);
  const std::string old_file = file_text(file_);
  const CVelmarDocData new_letters = mailbox("new", 200, 20000);
  for (rlim_t limit : {rlim_t{0}, rlim_t{512}, rlim_t{4096}, rlim_t{100000}, rlim_t{1000000}}) {
    struct rlimit old_limit {};
    getrlimit(RLIMIT_FSIZE, &old_limit);
    struct rlimit lower = old_limit;
    lower.rlim_cur = limit;
    sighandler_t old_handler = signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &lower), 0);
    std::string reason;
    const bool saved = box_file_save(file_, new_letters, reason);
    setrlimit(RLIMIT_FSIZE, &old_limit);
    signal(SIGXFSZ, old_handler);
    EXPECT_FALSE(saved) << "limit " << limit;
    EXPECT_FALSE(reason.empty()) << "limit " << limit;
    EXPECT_TRUE(file_text(file_) == old_file) << "limit " << limit;
    std::unique_ptr<CVelmarDocData> back = box_file_open(file_, reason);
    ASSERT_TRUE(back) << reason;
    EXPECT_EQ(back->letters.size(), 20u);
  }
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder_.path()))
    names.push_back(entry.path().filename().string());
  EXPECT_EQ(names, std::vector<std::string>{"IN.box"});
}

// A process saving two mailboxes in turn, over and over, is killed at random
// moments; the file must always open and hold one or the other.
TEST_F(BoxFiles, AKilledSaveLeavesTheOldOrTheNewMailbox) {
  const CVelmarDocData first = mailbox("first", 60, 8000);
  const CVelmarDocData second = mailbox("second", 90, 6000);
  save(first);
  std::mt19937 random(12345);
  std::uniform_int_distribution<int> pause_us(0, 20000);
  int saw_first = 0;
  int saw_second = 0;
  constexpr int kTrials = 150;
  for (int trial = 0; trial < kTrials; ++trial) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      for (int turn = 0;; ++turn) {
        std::string reason;
        if (!box_file_save(file_, turn % 2 ? first : second, reason)) _exit(3);
      }
    }
    usleep(static_cast<useconds_t>(pause_us(random)));
    ASSERT_EQ(kill(child, SIGKILL), 0);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the saving process stopped by itself";
    std::string reason;
    std::unique_ptr<CVelmarDocData> back = box_file_open(file_, reason);
    ASSERT_TRUE(back) << "trial " << trial << ": " << reason;
    if (back->letters.size() == 60u) {
      EXPECT_EQ(back->letters[59]->envelope.subject, "first 60");
      ++saw_first;
    } else {
      ASSERT_EQ(back->letters.size(), 90u) << "trial " << trial;
      EXPECT_EQ(back->letters[89]->envelope.subject, "second 90");
      ++saw_second;
    }
  }
  EXPECT_EQ(saw_first + saw_second, kTrials);
  // Both outcomes happen, so the kills fell at different moments.
  EXPECT_GT(saw_first, 0);
  EXPECT_GT(saw_second, 0);
}

}  // namespace
