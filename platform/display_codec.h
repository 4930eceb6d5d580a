#pragma once

#include <iconv.h>

#include <string>
#include <string_view>

// How the 8-bit text of letters becomes text on the screen: one code page for
// the whole program, chosen by the Chinese platform setting (2, Big5 alone,
// reads BIG5-HKSCS; every other value GB18030, the program's home code page,
// which holds GB 2312 and ASCII). A byte that cannot be read becomes U+FFFD,
// one for each byte, so nothing is dropped.
class display_codec {
 public:
  explicit display_codec(long platform = 0);
  ~display_codec();
  display_codec(const display_codec&) = delete;
  display_codec& operator=(const display_codec&) = delete;

  // Changes the code page to the one of a platform setting.
  void set_platform(long platform);

  // "GB18030" or "BIG5-HKSCS".
  const char* charset() const { return charset_; }

  // The bytes as UTF-8.
  std::string to_utf8(std::string_view bytes) const;

  // UTF-8 text in the code page, for program texts written among letter
  // bytes; a character the code page lacks becomes "?".
  std::string from_utf8(std::string_view utf8) const;

 private:
  void close();

  const char* charset_ = nullptr;
  iconv_t decoder_ = reinterpret_cast<iconv_t>(-1);
  iconv_t encoder_ = reinterpret_cast<iconv_t>(-1);
};

// The code page name of a platform setting.
const char* display_charset(long platform);
