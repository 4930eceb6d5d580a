#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "model/aletter.h"

// Letters as the message list and the Save command show them. Texts stay in
// the bytes of the letter's charset; the program's own words are UTF-8.

// The word for a sender the letter does not name.
inline constexpr std::string_view kSomeone = "某人";

// The sender: the first From item's name, else its address, else someone
// (kSomeone, or the same word in another code page).
std::string letter_sender(const CAletter& letter, std::string_view someone = kSomeone);

// The message list's line for the letter at a 0-based index: mark, number,
// date, sender, size and subject in fixed places.
std::string letter_list_line(const CAletter& letter, std::size_t index,
                             std::string_view someone = kSomeone);

// The program's own words as they go into a letter's text: as they are
// (UTF-8), or in the code page the letters are shown in.
using program_words = std::function<std::string(std::string_view words)>;

// The text Save writes: the header block, then the body with its content
// types, part separators and texts; a text part shows when the Chinese
// platform setting (0 to 3) can show its charset, else a placeholder line.
std::string letter_display_text(const CAletter& letter, long platform,
                                const program_words& words = {});

// A body of the letter by dotted part numbers ("1", "2.1"), numbered as the
// fetch routine numbers them; null when there is no such part.
const CBody* letter_section(const CBody& body, std::string_view section);
