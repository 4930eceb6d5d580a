#include "chinese/typed_text.h"

#include <iconv.h>
#include <strings.h>

#include <algorithm>
#include <cstring>
#include <optional>

#include "chinese/converters.h"
#include "chinese/iso2022cn_writer.h"
#include "platform/charset_reader.h"

namespace {

// One iconv conversion, from UTF-8 unless another charset is named, fed a
// character at a time; a character it cannot write leaves its state as it
// was.
class character_encoder {
 public:
  explicit character_encoder(const char* charset, const char* from = "UTF-8")
      : cd_(iconv_open(charset, from)) {}
  ~character_encoder() {
    if (ok()) iconv_close(cd_);
  }
  character_encoder(const character_encoder&) = delete;
  character_encoder& operator=(const character_encoder&) = delete;

  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  std::optional<std::string> encode(std::string_view character) {
    char buffer[32];
    char* in = const_cast<char*>(character.data());
    std::size_t in_left = character.size();
    char* out = buffer;
    std::size_t out_left = sizeof buffer;
    if (iconv(cd_, &in, &in_left, &out, &out_left) == static_cast<std::size_t>(-1) || in_left != 0)
      return std::nullopt;
    return std::string(buffer, static_cast<std::size_t>(out - buffer));
  }
  // What a stateful charset writes to return to its initial state.
  std::string finish() {
    char buffer[32];
    char* out = buffer;
    std::size_t out_left = sizeof buffer;
    iconv(cd_, nullptr, nullptr, &out, &out_left);
    return std::string(buffer, static_cast<std::size_t>(out - buffer));
  }

 private:
  iconv_t cd_;
};

bool same(std::string_view a, const char* b) {
  return a.size() == std::strlen(b) && strncasecmp(a.data(), b, a.size()) == 0;
}

// GB 2312 in EUC form: the bytes GB18030 gives (so that the characters the
// screen reads from those bytes are the ones typed), when GB 2312 has them.
class gb2312_encoder {
 public:
  std::optional<std::string> encode(std::string_view character) {
    std::optional<std::string> bytes = gb18030_.encode(character);
    if (!bytes) return std::nullopt;
    if (bytes->size() == 1 && static_cast<unsigned char>((*bytes)[0]) < 0x80) return bytes;
    if (bytes->size() != 2 || !std::all_of(bytes->begin(), bytes->end(), [](char c) {
          return static_cast<unsigned char>(c) >= 0xA1 && static_cast<unsigned char>(c) <= 0xFE;
        }))
      return std::nullopt;
    // The pair must be a character GB 2312 assigns, not one GBK added.
    if (!gb2312_.encode(*bytes)) return std::nullopt;
    return bytes;
  }

 private:
  character_encoder gb18030_{"GB18030"};
  character_encoder gb2312_{"UTF-8", "EUC-CN"};
};

// Calls each(character) with the UTF-8 bytes of every character in order.
template <typename Each>
void each_character(std::string_view utf8, Each each) {
  std::size_t start = 0;
  bool first = true;
  charset_reader reader("UTF-8");
  reader.read(utf8, [&](char32_t, std::size_t offset) {
    if (!first) each(utf8.substr(start, offset - start));
    first = false;
    start = offset;
  });
  if (!first) each(utf8.substr(start));
}

char32_t code_of(std::string_view character) {
  char32_t code = 0;
  charset_reader("UTF-8").read(character, [&](char32_t c, std::size_t) { code = c; });
  return code;
}

typed_text encode_iso2022cn(std::string_view utf8) {
  typed_text result;
  gb2312_encoder gb;
  character_encoder big5("BIG5");
  iso2022cn_writer writer;
  char buffer[iso2022cn_writer::kMostPerCharacter];
  auto refuse = [&](std::string_view character) {
    char32_t code = code_of(character);
    if (result.refused.find(code) == std::u32string::npos) result.refused += code;
  };
  each_character(utf8, [&](std::string_view character) {
    char* end = buffer;
    if (character.size() == 1) {
      end = writer.ascii(buffer, static_cast<std::uint8_t>(character[0]));
    } else if (std::optional<std::string> pair = gb.encode(character)) {
      end = writer.character(buffer, 'A', static_cast<std::uint8_t>((*pair)[0]),
                             static_cast<std::uint8_t>((*pair)[1]));
    } else if (std::optional<std::string> b5 = big5.encode(character); b5 && b5->size() == 2) {
      std::optional<cns_code> cns = big5_to_cns_known(static_cast<std::uint8_t>((*b5)[0]),
                                                      static_cast<std::uint8_t>((*b5)[1]));
      if (!cns) return refuse(character);
      end = writer.character(buffer, cns->plane == 0x21 ? 'G' : 'H', cns->row, cns->column);
    } else {
      return refuse(character);
    }
    result.bytes.append(buffer, end);
  });
  result.bytes.append(buffer, writer.finish(buffer));
  return result;
}

template <typename Encoder>
typed_text encode_with(std::string_view utf8, Encoder& encoder) {
  typed_text result;
  each_character(utf8, [&](std::string_view character) {
    if (std::optional<std::string> bytes = encoder.encode(character)) {
      result.bytes += *bytes;
      return;
    }
    char32_t code = code_of(character);
    if (result.refused.find(code) == std::u32string::npos) result.refused += code;
  });
  return result;
}

// A label iconv does not know: ASCII alone.
struct ascii_encoder {
  std::optional<std::string> encode(std::string_view character) {
    if (character.size() == 1 && static_cast<unsigned char>(character[0]) < 0x80)
      return std::string(character);
    return std::nullopt;
  }
};

}  // namespace

typed_text typed_text_encode(std::string_view utf8, std::string_view label) {
  if (same(label, "ISO-2022-CN")) return encode_iso2022cn(utf8);
  if (same(label, "CN-GB") || same(label, "GB2312")) {
    gb2312_encoder gb;
    return encode_with(utf8, gb);
  }
  const std::string charset =
      same(label, "CN-BIG5") || same(label, "BIG5") ? std::string("BIG5") : std::string(label);
  character_encoder encoder(charset.c_str());
  if (same(label, "US-ASCII") || !encoder.ok()) {
    ascii_encoder ascii;
    return encode_with(utf8, ascii);
  }
  typed_text result = encode_with(utf8, encoder);
  result.bytes += encoder.finish();
  return result;
}

std::string refused_characters(const std::u32string& refused) {
  std::string text;
  for (char32_t c : refused) {
    if (!text.empty()) text += ' ';
    utf8_append(text, c);
  }
  return text;
}
