// A whole message: header and body structure, read whole and in one-byte
// pieces (the two must agree), then the header written back.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "message/envelope_parse.h"
#include "message/header_write.h"
#include "message/text_source.h"
#include "tests/support/message_describe.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string message(reinterpret_cast<const char*>(data), size);
  const std::string whole = message_describe(message, 0);
  if (whole != message_describe(message, 1)) {
    std::fprintf(stderr, "piecewise parse differs from the whole parse\n");
    std::abort();
  }
  text_source source;
  text_source_from_memory(source, message);
  const parsed_letter letter = letter_parse(source, "fuzz.example");
  std::string written = header_write(*letter.envelope, letter.body.get());
  address_list_write(written, letter.envelope->to.get());
  return 0;
}
