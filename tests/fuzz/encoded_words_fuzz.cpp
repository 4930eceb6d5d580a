// Any header text and parameters through the decoding for the screen, any
// bytes in any of a few charsets through the screen text of a letter, and
// any typed text through the encoding of header words and back.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "model/encoded_words.h"
#include "model/letter_display.h"
#include "platform/charset_reader.h"

namespace {

const char* const kCharsets[] = {"GB18030", "BIG5-HKSCS", "UTF-8", "ISO-2022-JP", "UTF-16LE"};
const char* const kLabels[] = {"CN-GB", "CN-BIG5", "ISO-2022-CN", "UTF-8", "US-ASCII"};

void check(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "%s\n", what);
  std::abort();
}

bool valid_utf8(const std::string& text) {
  return charset_to_utf8(text, "UTF-8") == text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const char* charset = kCharsets[data[0] % std::size(kCharsets)];
  const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);

  // The first line a header text, the others "attribute=value" parameters.
  std::size_t end = bytes.find('\n');
  check(valid_utf8(header_text_utf8(bytes.substr(0, end), charset)), "header text not UTF-8");
  CParameter parameters;
  for (std::size_t at = end; at != std::string::npos && at < bytes.size();) {
    std::size_t next = bytes.find('\n', at + 1);
    std::string line = bytes.substr(at + 1, next == std::string::npos ? next : next - at - 1);
    std::size_t equals = line.find('=');
    parameters.items.push_back(std::make_unique<CParaitem>(
        line.substr(0, equals), equals == std::string::npos ? "" : line.substr(equals + 1)));
    at = next;
  }
  for (const shown_parameter& each : parameters_shown(parameters, charset))
    check(valid_utf8(each.value), "parameter value not UTF-8");

  // Typed text (made valid UTF-8) as encoded words: short words that read
  // back as typed unless the charset refused a character.
  const std::string typed = charset_to_utf8(bytes.substr(0, end), "UTF-8").value_or("");
  std::u32string refused;
  const char* label = kLabels[data[0] % std::size(kLabels)];
  std::string sent = header_text_encode(typed, label, " ", refused);
  if (refused.empty()) check(header_text_utf8(sent, "GB18030") == typed, "words read back");

  // The bytes in two runs, the second in the charset chosen.
  letter_text text;
  text.bytes = bytes;
  text.runs.push_back({0, "GB18030", std::nullopt});
  text.runs.push_back({bytes.size() / 2, charset, std::nullopt});
  screen_text screen = letter_screen_text(text);
  check(screen.offsets.size() == screen.characters.size() + 1, "an offset for every character");
  for (std::size_t i = 1; i < screen.offsets.size(); ++i)
    check(screen.offsets[i - 1] <= screen.offsets[i], "offsets go forward");
  check(screen.offsets.back() == bytes.size(), "the end at the text's length");
  return 0;
}
