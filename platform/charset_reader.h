#pragma once

#include <iconv.h>

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

// Text in any charset glibc's iconv knows, read character by character, so
// that a caller knows which bytes every character came from.
class charset_reader {
 public:
  // A reader of the charset; ok() is false when iconv does not know it.
  explicit charset_reader(std::string_view charset);
  ~charset_reader();
  charset_reader(const charset_reader&) = delete;
  charset_reader& operator=(const charset_reader&) = delete;

  bool ok() const { return converter_ != kClosed; }

  // Calls each(character, offset) for every character, in order; offset is
  // where its bytes begin. A byte that cannot be read gives U+FFFD, one for
  // each byte, so nothing is dropped. Reads nothing when !ok().
  void read(std::string_view bytes, const std::function<void(char32_t, std::size_t)>& each);

 private:
  static inline const iconv_t kClosed = reinterpret_cast<iconv_t>(-1);
  iconv_t converter_ = kClosed;
  bool ascii_ = false;  // bytes below 0x80 between characters are ASCII
};

// True when iconv knows the charset by this name.
bool charset_known(std::string_view charset);

// The bytes as UTF-8; nothing when the charset is unknown.
std::optional<std::string> charset_to_utf8(std::string_view bytes, std::string_view charset);

// Appends one character in UTF-8.
void utf8_append(std::string& text, char32_t character);
