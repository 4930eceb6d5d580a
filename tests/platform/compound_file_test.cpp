// Compound files written and read through libgsf, and read independently by
// Python's olefile.

#include "platform/compound_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "platform/safe_save.h"
#include "tests/support/file_text.h"
#include "tests/support/table.h"

namespace {

namespace fs = std::filesystem;

class CompoundFiles : public testing::Test {
 protected:
  void SetUp() override {
    char name[] = "/tmp/kestrel-compound-XXXXXX";
    ASSERT_NE(mkdtemp(name), nullptr);
    directory_ = name;
  }
  void TearDown() override { fs::remove_all(directory_); }

  std::string path(const std::string& name) const { return (directory_ / name).string(); }

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
                !sink->write(reinterpret_cast<const std::byte*>(bytes.data()), bytes.size())) {
              return false;
            }
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
    if (!source->read(reinterpret_cast<std::byte*>(bytes.data()), bytes.size())) {
      return "(unreadable)";
    }
    return bytes;
  }

  fs::path directory_;
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
  const std::string file = path("mailbox.box");
  const std::string bytes = sample(GetParam().size);
  write(file, {{"Contents", bytes}});
  std::string reason;
  EXPECT_EQ(read(file, "Contents", reason), bytes) << reason;

  const char* script =
      "import olefile, sys\n"
      "ole = olefile.OleFileIO(sys.argv[1])\n"
      "sys.stdout.write(repr(ole.listdir(streams=True, storages=True)) + '\\n')\n"
      "sys.stdout.flush()\n"
      "sys.stdout.buffer.write(ole.openstream('Contents').read())\n";
  const std::string script_file = path("list.py");
  {
    std::FILE* out = std::fopen(script_file.c_str(), "w");
    ASSERT_NE(out, nullptr);
    std::fputs(script, out);
    std::fclose(out);
  }
  std::FILE* python = popen(("/usr/bin/python3 " + script_file + " " + file).c_str(), "r");
  ASSERT_NE(python, nullptr);
  std::string out;
  char chunk[4096];
  for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, python)) > 0;)
    out.append(chunk, n);
  EXPECT_EQ(pclose(python), 0);
  EXPECT_EQ(out, "[['Contents']]\n" + bytes);
}

INSTANTIATE_TEST_SUITE_P(Rows, StreamSizes,
                         testing::Values(size_row{"empty", 0}, size_row{"small", 100},
                                         size_row{"below_the_small_limit", 4095},
                                         size_row{"at_the_small_limit", 4096},
                                         size_row{"big", 300000}),
                         row_name());

TEST_F(CompoundFiles, SeveralStreamsKeepTheirOwnBytes) {
  const std::string file = path("two.box");
  write(file, {{"Contents", sample(5000)}, {"Other", "other bytes"}});
  std::string reason;
  EXPECT_EQ(read(file, "Other", reason), "other bytes") << reason;
  EXPECT_EQ(read(file, "Contents", reason), sample(5000)) << reason;
}

TEST_F(CompoundFiles, AMissingStreamIsNamed) {
  const std::string file = path("other.box");
  write(file, {{"Other", "x"}});
  std::string reason;
  EXPECT_EQ(read(file, "Contents", reason), "(no stream)");
  EXPECT_EQ(reason, "no \"Contents\" stream");
}

TEST_F(CompoundFiles, AFileOfAnotherKindIsNotOpened) {
  const std::string file = path("text.box");
  {
    std::FILE* out = std::fopen(file.c_str(), "wb");
    ASSERT_NE(out, nullptr);
    std::fputs("From someone Thu Dec  5 11:53:20 1996\nSubject: not a compound file\n", out);
    std::fclose(out);
  }
  std::string reason;
  EXPECT_EQ(read(file, "Contents", reason), "(no file)");
  EXPECT_EQ(reason.rfind("not a compound file", 0), 0u) << reason;
}

TEST_F(CompoundFiles, AMissingFileIsNotOpened) {
  std::string reason;
  EXPECT_EQ(read(path("absent.box"), "Contents", reason), "(no file)");
  EXPECT_FALSE(reason.empty());
}

TEST_F(CompoundFiles, ACutFileIsNotReadAsWhole) {
  const std::string file = path("cut.box");
  write(file, {{"Contents", sample(20000)}});
  fs::resize_file(file, fs::file_size(file) / 2);
  std::string reason;
  EXPECT_NE(read(file, "Contents", reason), sample(20000));
}

}  // namespace
