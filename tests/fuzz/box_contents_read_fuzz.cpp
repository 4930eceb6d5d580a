// Arbitrary bytes as the "Contents" stream of a mailbox file: reading must
// end in a document or a reason, never a crash, a leak or an allocation the
// bytes do not justify (the target runs with a low malloc limit).

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "model/box_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  archive_memory_source source(std::string_view(reinterpret_cast<const char*>(data), size));
  std::string reason;
  std::unique_ptr<CVelmarDocData> document = box_contents_read(source, reason);
  if (document) {
    // What was read stores, and what is stored reads again.
    archive_memory_sink sink;
    if (!box_contents_write(sink, *document, reason)) std::abort();
    archive_memory_source again(sink.bytes());
    if (!box_contents_read(again, reason)) std::abort();
  } else if (reason.empty()) {
    std::abort();
  }
  return 0;
}
