// Compound files written and read through libgsf, and read independently by
// Python's olefile.

#include "platform/compound_file.h"

#include <filesystem>
#include <fstream>

#include "platform/safe_save.h"
#include "tests/support/run_program.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/table.h"

class CompoundFiles : public testing::Test {
 protected:
  // A compound file with the streams given, in order.
  void write(const std::string& file, std::vector<std::pair<std::string, std::string>> streams) {
    std::string reason;
    ASSERT_TRUE(safe_save(
        file,
        [&](std::FILE* out, std::string& why) {
          compound_file_writer writer;
          if (!writer.begin(out, why)) return false;
          for (const auto& [name, bytes] : streams) {
            archive_sink* sink = writer.begin_stream(name, why);
            if (!sink ||
                !sink->write(reinterpret_cast<const std::byte*>(bytes.data()), bytes.size()))
              return false;
            if (!writer.end_stream(why)) return false;
          }
          return writer.finish(why);
        },
        reason))
        << reason;
  }

  // The bytes of a stream as our reader gives them.
  std::string read(const std::string& file, const std::string& stream, std::string& reason) {
    compound_file_reader reader;
    if (!reader.open(file, reason)) return "(no file)";
    std::unique_ptr<archive_source> source = reader.open_stream(stream, reason);
    if (!source) return "(no stream)";
    std::string bytes(source->remaining(), '\0');
    if (!source->read(reinterpret_cast<std::byte*>(bytes.data()), bytes.size()))
      return "(unreadable)";
    return bytes;
  }

  scratch_folder folder_;
};

std::string sample(std::size_t size) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i)
    bytes[i] = static_cast<char>((i * 131 + i / 256) & 0xFF);
  return bytes;
}

// Streams below 4096 bytes live in the small-block area, longer ones in
// sectors of their own; both must come back whole.
struct size_row {
  std::string name;
  std::size_t size;
};

class StreamSizes : public CompoundFiles, public testing::WithParamInterface<size_row> {};

TEST_P(StreamSizes, ReadBackAndOlefileAgrees) {
  const std::string file = folder_.file("mailbox.box");
  const std::string bytes = sample(GetParam().size);
  write(file, {{"Contents", bytes}});
  std::string reason;
  EXPECT_EQ(read(file, "Contents", reason), bytes) << reason;

  program_result python =
      run_program("/usr/bin/python3",
                  {"-c",
                   "import olefile, sys\n"
                   "ole = olefile.OleFileIO(sys.argv[1])\n"
                   "sys.stdout.write(repr(ole.listdir(streams=True, storages=True)) + '\\n')\n"
                   "sys.stdout.flush()\n"
                   "sys.stdout.buffer.write(ole.openstream('Contents').read())\n",
                   file});
  EXPECT_EQ(python.exit_code, 0) << python.err;
  EXPECT_EQ(python.out, "[['Contents']]\n" + bytes);
}

const size_row kStreamSizesRows[] = {
    {"empty", 0},    {"small", 100}, {"below_the_small_limit", 4095}, {"at_the_small_limit", 4096},
    {"big", 300000},
};
INSTANTIATE_TEST_SUITE_P(Rows, StreamSizes, testing::ValuesIn(kStreamSizesRows), row_name());

TEST_F(CompoundFiles, SeveralStreamsKeepTheirOwnBytes) {
  const std::string file = folder_.file("two.box");
  write(file, {{"Contents", sample(5000)}, {"Other", "other bytes"}});
  std::string reason;
  EXPECT_EQ(read(file, "Other", reason), "other bytes") << reason;
  EXPECT_EQ(read(file, "Contents", reason), sample(5000)) << reason;
}

TEST_F(CompoundFiles, AMissingFileOrStreamOrAFileOfAnotherKindIsNamed) {
  std::string reason;
  EXPECT_EQ(read(folder_.file("absent.box"), "Contents", reason), "(no file)");
  EXPECT_FALSE(reason.empty());
  write(folder_.file("other.box"), {{"Other", "x"}});
  EXPECT_EQ(read(folder_.file("other.box"), "Contents", reason), "(no stream)");
  EXPECT_EQ(reason, "no \"Contents\" stream");
  std::ofstream(folder_.file("text.box"))
      << "From someone Thu Dec  5 11:53:20 1996\nSubject: not a compound file\n";
  EXPECT_EQ(read(folder_.file("text.box"), "Contents", reason), "(no file)");
  EXPECT_EQ(reason.rfind("not a compound file", 0), 0u) << reason;
}

TEST_F(CompoundFiles, ACutFileIsNotReadAsWhole) {
  const std::string file = folder_.file("cut.box");
  write(file, {{"Contents", sample(20000)}});
  std::filesystem::resize_file(file, std::filesystem::file_size(file) / 2);
  std::string reason;
  EXPECT_NE(read(file, "Contents", reason), sample(20000));
}
