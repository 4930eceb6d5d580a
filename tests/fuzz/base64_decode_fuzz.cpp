// Any text through the decoder; any bytes through the encoder and back.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "message/base64.h"
#include "message/rfc822_binary.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  (void)base64_decode(bytes);
  const auto round_trip = base64_decode(rfc822_binary(bytes));
  if (!round_trip || *round_trip != bytes) {
    std::fprintf(stderr, "base64 round trip lost bytes\n");
    std::abort();
  }
  return 0;
}
