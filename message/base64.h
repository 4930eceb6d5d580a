#pragma once

#include <optional>
#include <string>
#include <string_view>

// The bytes that base64 text stands for. Characters outside the alphabet
// (line breaks, blanks) are skipped; misplaced padding gives nothing.
std::optional<std::string> base64_decode(std::string_view text);

// The same decoding for text that arrives in pieces (a long attachment read
// block by block), so it never has to be held whole.
class base64_decoder {
 public:
  // Appends the bytes of the next piece; false once the text is malformed.
  bool feed(std::string_view text, std::string& bytes);
  // Whether the text may end here: false when it is malformed or ends
  // between the two "=" of a padding.
  bool finish() const { return !failed_ && !second_pad_due_; }

 private:
  int place_ = 0;  // position of the next character in its group of four
  unsigned held_ = 0;
  bool second_pad_due_ = false;
  bool failed_ = false;
};
