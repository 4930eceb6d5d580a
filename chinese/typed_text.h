#pragma once

#include <string>
#include <string_view>

// Text the user typed (UTF-8) written in the charset an outgoing label names:
// "CN-GB" and "GB2312" as GB 2312 in EUC form, "CN-BIG5" and "BIG5" as Big5,
// "US-ASCII" as ASCII, "ISO-2022-CN" from the characters themselves (GB 2312
// where it holds them, else CNS 11643 planes 1 and 2 by way of Big5), and any
// other label through iconv when it knows the name; a label it does not know
// carries ASCII alone.
struct typed_text {
  std::string bytes;
  // The characters the charset cannot hold, each once, in the order typed
  // (UTF-8); they are left out of bytes, so a text with any is not to be
  // sent.
  std::u32string refused;
};

typed_text typed_text_encode(std::string_view utf8, std::string_view label);

// The refused characters for a message: "X Y Z" in UTF-8.
std::string refused_characters(const std::u32string& refused);
