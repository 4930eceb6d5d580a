#pragma once

#include <memory>
#include <string>

#include "model/velmar_doc_data.h"
#include "platform/archive.h"

// Mailbox document files (.box): a compound file whose "Contents" stream
// holds the document's stored form, and whose storages "Embedding 1",
// "Embedding 2"... each hold an embedded item's stored form in a stream
// "Contents".

// The document of a .box file; null with the reason when the file cannot be
// read, is not a compound file or holds anything but a whole, well-formed
// document.
std::unique_ptr<CVelmarDocData> box_file_open(const std::string& path, std::string& reason);

// Writes the document to the file, replacing it only once the new file is
// whole on the disk; false with the reason, and the old file untouched, when
// that fails.
bool box_file_save(const std::string& path, const CVelmarDocData& document, std::string& reason);

// The stored form alone: reading it from a source (all of it, nothing after
// it) and writing it to a sink.
std::unique_ptr<CVelmarDocData> box_contents_read(archive_source& source, std::string& reason);
bool box_contents_write(archive_sink& sink, const CVelmarDocData& document, std::string& reason);

// The messages the user sees, followed by the reason.
inline constexpr const char* kOpenFailed = "Failed to open document.";
inline constexpr const char* kSaveFailed = "Failed to save document.";
