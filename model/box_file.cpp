#include "model/box_file.h"

#include "model/model_classes.h"
#include "platform/compound_file.h"
#include "platform/safe_save.h"

#include <algorithm>

namespace {

constexpr const char* kContents = "Contents";
constexpr std::string_view kEmbedding = "Embedding ";

// The number of an item's storage; 0 for a storage of another name.
unsigned long embedding_number(const std::string& name) {
  if (name.rfind(kEmbedding, 0) != 0 || name.size() == kEmbedding.size()) return 0;
  const std::string digits = name.substr(kEmbedding.size());
  if (digits.find_first_not_of("0123456789") != std::string::npos || digits.size() > 9) return 0;
  return std::stoul(digits);
}

// The items of the file, in the order of their storages' numbers.
bool read_items(compound_file_reader& reader, CVelmarDocData& document, std::string& reason) {
  std::vector<std::pair<unsigned long, std::string>> storages;
  for (const std::string& name : reader.storage_names())
    if (unsigned long number = embedding_number(name)) storages.emplace_back(number, name);
  std::sort(storages.begin(), storages.end());
  for (const auto& [number, name] : storages) {
    std::unique_ptr<archive_source> stream = reader.open_stream(name, kContents, reason);
    if (!stream) return false;
    auto item = std::make_unique<CVelmarCntrItem>();
    archive ar(*stream, {});
    item->Serialize(ar);
    if (ar.failed()) {
      reason = name + ": " + ar.error();
      return false;
    }
    document.items.push_back(std::move(item));
  }
  return true;
}

bool write_items(compound_file_writer& writer, const CVelmarDocData& document,
                 std::string& reason) {
  for (std::size_t i = 0; i < document.items.size(); ++i) {
    if (!writer.begin_storage(std::string(kEmbedding) + std::to_string(i + 1), reason))
      return false;
    archive_sink* sink = writer.begin_stream(kContents, reason);
    if (!sink) return false;
    archive ar(*sink);
    // Serialize only reads the item while storing.
    document.items[i]->Serialize(ar);
    if (!ar.flush()) {
      reason = ar.error();
      return false;
    }
    if (!writer.end_stream(reason) || !writer.end_storage(reason)) return false;
  }
  return true;
}

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
  std::unique_ptr<CVelmarDocData> document = box_contents_read(*contents, reason);
  if (!document || !read_items(reader, *document, reason)) return nullptr;
  return document;
}

bool box_file_save(const std::string& path, const CVelmarDocData& document, std::string& reason) {
  return safe_save(
      path,
      [&](std::FILE* file, std::string& why) {
        compound_file_writer writer;
        if (!writer.begin(file, why)) return false;
        archive_sink* sink = writer.begin_stream(kContents, why);
        if (!sink) return false;
        if (!box_contents_write(*sink, document, why) || !writer.end_stream(why)) return false;
        return write_items(writer, document, why) && writer.finish(why);
      },
      reason);
}
