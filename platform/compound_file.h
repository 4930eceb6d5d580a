#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/archive.h"

// Compound files (the published structured-storage format of mailbox
// documents) through libgsf: streams of the root storage read as archive
// sources and written through archive sinks. Sub-storages, for embedded
// objects, fit beside the streams in the same file.

struct compound_file_handles;

class compound_file_reader {
 public:
  compound_file_reader();
  ~compound_file_reader();
  compound_file_reader(const compound_file_reader&) = delete;
  compound_file_reader& operator=(const compound_file_reader&) = delete;

  // Opens the file; false with the reason when it cannot be read or is not a
  // compound file.
  bool open(const std::string& path, std::string& reason);
  // A source over a stream of the root storage (read as it is used, never
  // held whole); null with the reason when there is no such stream. Valid
  // while the reader lives.
  std::unique_ptr<archive_source> open_stream(std::string_view name, std::string& reason);
  // The names of the root storage's sub-storages, in the file's order.
  std::vector<std::string> storage_names() const;
  // A source over a stream of a sub-storage of the root, as above.
  std::unique_ptr<archive_source> open_stream(std::string_view storage, std::string_view name,
                                              std::string& reason);

 private:
  std::unique_ptr<compound_file_handles> handles_;
};

class compound_file_writer {
 public:
  compound_file_writer();
  ~compound_file_writer();
  compound_file_writer(const compound_file_writer&) = delete;
  compound_file_writer& operator=(const compound_file_writer&) = delete;

  // Starts a compound file in the open file (which stays open and the
  // caller's); false with the reason when that fails.
  bool begin(std::FILE* file, std::string& reason);
  // A sink for a new stream of the root storage, or of the sub-storage begun
  // and not yet ended, valid until end_stream.
  archive_sink* begin_stream(std::string_view name, std::string& reason);
  bool end_stream(std::string& reason);
  // A new sub-storage of the root; the streams begun until end_storage go
  // into it.
  bool begin_storage(std::string_view name, std::string& reason);
  bool end_storage(std::string& reason);
  // Writes the directory and allocation tables; true only when every byte of
  // the file was handed to the file.
  bool finish(std::string& reason);

 private:
  std::unique_ptr<compound_file_handles> handles_;
};
