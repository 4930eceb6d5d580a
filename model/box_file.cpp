#include "model/box_file.h"

#include "model/model_classes.h"
#include "platform/compound_file.h"
#include "platform/safe_save.h"

namespace {

constexpr const char* kContents = "Contents";

}  // namespace

std::unique_ptr<CVelmarDocData> box_contents_read(archive_source& source, std::string& reason) {
  auto document = std::make_unique<CVelmarDocData>();
  archive ar(source, model_classes());
  document->Serialize(ar);
  if (!ar.failed() && ar.remaining() != 0) {
    ar.fail(std::to_string(ar.remaining()) + " bytes follow the mailbox's data");
  }
  if (ar.failed()) {
    reason = ar.error();
    return nullptr;
  }
  return document;
}

bool box_contents_write(archive_sink& sink, const CVelmarDocData& document, std::string& reason) {
  archive ar(sink);
  // Serialize only reads the document while storing.
  const_cast<CVelmarDocData&>(document).Serialize(ar);
  if (!ar.flush()) {
    reason = ar.error();
    return false;
  }
  return true;
}

std::unique_ptr<CVelmarDocData> box_file_open(const std::string& path, std::string& reason) {
  compound_file_reader reader;
  if (!reader.open(path, reason)) return nullptr;
  std::unique_ptr<archive_source> contents = reader.open_stream(kContents, reason);
  if (!contents) return nullptr;
  return box_contents_read(*contents, reason);
}

bool box_file_save(const std::string& path, const CVelmarDocData& document, std::string& reason) {
  return safe_save(
      path,
      [&](std::FILE* file, std::string& why) {
        compound_file_writer writer;
        if (!writer.begin(file, why)) return false;
        archive_sink* sink = writer.begin_stream(kContents, why);
        if (!sink) return false;
        if (!box_contents_write(*sink, document, why)) return false;
        return writer.end_stream(why) && writer.finish(why);
      },
      reason);
}
