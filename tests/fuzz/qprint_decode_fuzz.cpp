// Any text through the decoder; any bytes through the encoder and back.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "message/quoted_printable.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  (void)qprint_decode(bytes);
  const auto round_trip = qprint_decode(qprint_encode(bytes));
  if (!round_trip || *round_trip != bytes) {
    std::fprintf(stderr, "quoted-printable round trip lost bytes\n");
    std::abort();
  }
  return 0;
}
