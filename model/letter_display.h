#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "model/letter_format.h"

// A letter's text as characters on the screen: every run read in its charset
// (or shown as its decoded text), lines ended by a line feed alone. For each
// character the offset of the byte it came from, so that positions on the
// screen and offsets in the letter text map exactly onto each other.
struct screen_text {
  std::u16string characters;         // UTF-16, as the text controls count
  std::vector<std::size_t> offsets;  // one per character, then the text's length

  // The byte offset of a character position (the end for positions past it).
  std::size_t byte_offset(std::size_t position) const;
  // The first character position whose byte is at or after the offset.
  std::size_t position(std::size_t offset) const;
};

screen_text letter_screen_text(const letter_text& text);

// The text in UTF-8: every run converted from its charset, nothing else
// changed (line ends and all stay); encoded words stay too unless decoded.
std::string letter_text_utf8(const letter_text& text, bool decoded_words = false);
