#include "platform/display_codec.h"

#include <cerrno>

#include "platform/fatal.h"

namespace {

const iconv_t kClosed = reinterpret_cast<iconv_t>(-1);
constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD in UTF-8

iconv_t open_converter(const char* to, const char* from) {
  iconv_t converter = iconv_open(to, from);
  // glibc always carries both code pages; without them nothing can be shown.
  if (converter == kClosed) fatal_stop("The display code page cannot be opened");
  return converter;
}

// Converts as much as it can; on a byte it cannot take, substitute is
// written in its place (for the whole rest when the input ends inside a
// character) and the conversion goes on after it.
std::string convert(iconv_t converter, std::string_view input, std::string_view substitute,
                    bool per_byte) {
  std::string output;
  output.resize(input.size() * 4 + 16);
  iconv(converter, nullptr, nullptr, nullptr, nullptr);
  char* in = const_cast<char*>(input.data());
  std::size_t in_left = input.size();
  std::size_t used = 0;
  while (in_left > 0) {
    char* out = output.data() + used;
    std::size_t out_left = output.size() - used;
    std::size_t result = iconv(converter, &in, &in_left, &out, &out_left);
    used = output.size() - out_left;
    if (result != static_cast<std::size_t>(-1)) break;
    if (errno == E2BIG) {
      output.resize(output.size() * 2);
      continue;
    }
    // EILSEQ: an unreadable byte; EINVAL: the input ends inside a character.
    std::size_t skip = 1;
    if (!per_byte) {
      // A UTF-8 character the code page lacks: skip the whole character.
      auto lead = static_cast<unsigned char>(*in);
      skip = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
      if (skip > in_left) skip = in_left;
    }
    if (output.size() - used < substitute.size()) output.resize(output.size() * 2 + 16);
    output.replace(used, substitute.size(), substitute);
    used += substitute.size();
    in += skip;
    in_left -= skip;
    iconv(converter, nullptr, nullptr, nullptr, nullptr);
  }
  // Flush what a stateful code page still holds.
  for (;;) {
    char* out = output.data() + used;
    std::size_t out_left = output.size() - used;
    if (iconv(converter, nullptr, nullptr, &out, &out_left) != static_cast<std::size_t>(-1)) {
      used = output.size() - out_left;
      break;
    }
    if (errno != E2BIG) break;
    output.resize(output.size() * 2);
  }
  output.resize(used);
  return output;
}

}  // namespace

const char* display_charset(long platform) {
  return platform == 2 ? "BIG5-HKSCS" : "GB18030";
}

display_codec::display_codec(long platform) {
  set_platform(platform);
}

display_codec::~display_codec() {
  close();
}

void display_codec::close() {
  if (decoder_ != kClosed) iconv_close(decoder_);
  if (encoder_ != kClosed) iconv_close(encoder_);
  decoder_ = encoder_ = kClosed;
}

void display_codec::set_platform(long platform) {
  const char* wanted = display_charset(platform);
  if (charset_ == wanted) return;
  close();
  charset_ = wanted;
  decoder_ = open_converter("UTF-8", charset_);
  encoder_ = open_converter(charset_, "UTF-8");
}

std::string display_codec::to_utf8(std::string_view bytes) const {
  return convert(decoder_, bytes, kReplacement, true);
}

std::string display_codec::from_utf8(std::string_view utf8) const {
  return convert(encoder_, utf8, "?", false);
}
