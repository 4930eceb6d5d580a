// An address list, then written back as a header line and as a plain list;
// what is written must parse again.

#include <cstdint>
#include <memory>
#include <string>

#include "message/address_parse.h"
#include "message/header_write.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::unique_ptr<mail_address> list;
  address_list_parse(list, text, "fuzz.example");
  mail_envelope envelope;
  std::string line;
  address_header_line(line, "To", envelope, list.get());
  std::string plain;
  address_list_write(plain, list.get());
  std::unique_ptr<mail_address> again;
  address_list_parse(again, plain, "fuzz.example");
  return 0;
}
