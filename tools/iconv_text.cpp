#include "tools/iconv_text.h"

#include <iconv.h>

#include <cerrno>

std::optional<std::string> iconv_text(const char* from, const char* to, std::string_view text) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  std::string result;
  char buffer[4096];
  char* in = const_cast<char*>(text.data());
  std::size_t in_left = text.size();
  bool ok = true;
  for (bool flushing = false;;) {
    char* out = buffer;
    std::size_t out_left = sizeof buffer;
    std::size_t done = flushing ? iconv(cd, nullptr, nullptr, &out, &out_left)
                                : iconv(cd, &in, &in_left, &out, &out_left);
    result.append(buffer, static_cast<std::size_t>(out - buffer));
    if (done == static_cast<std::size_t>(-1)) {
      if (errno == E2BIG) continue;
      ok = false;
      break;
    }
    if (flushing) break;
    flushing = true;
  }
  iconv_close(cd);
  if (!ok) return std::nullopt;
  return result;
}

std::optional<char32_t> iconv_code_point(const char* from, std::string_view character) {
  std::optional<std::string> utf32 = iconv_text(from, "UTF-32BE", character);
  if (!utf32 || utf32->size() != 4) return std::nullopt;
  char32_t code = 0;
  for (unsigned char byte : *utf32)
    code = code << 8 | byte;
  return code;
}
