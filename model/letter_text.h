#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "model/aletter.h"

// Letters as the message list and the Save command show them. Texts stay in
// the bytes of the letter's charset.

// The word for a sender the letter does not name.
inline constexpr std::string_view kSomeone = "某人";

// The sender: the first From item's name, else its address, else someone
// (kSomeone, or the same word in another code page).
std::string letter_sender(const CAletter& letter, std::string_view someone = kSomeone);

// The message list's line for the letter at a 0-based index: mark, number,
// date, sender, size and subject in fixed places. With a platform, encoded
// words in the sender and the subject are decoded into its code page first.
std::string letter_list_line(const CAletter& letter, std::size_t index,
                             std::string_view someone = kSomeone,
                             std::optional<long> decode_platform = std::nullopt);

// The caption of a letter's window in UTF-8: sender (someone, in UTF-8, when
// it names none), date and subject joined by "; ", encoded words decoded and
// the rest read in the code page of the platform setting.
std::string letter_caption(const CAletter& letter, std::string_view someone, long platform);

// The file name Save proposes for a letter: its subject decoded, without
// blanks and what a file name cannot hold, cut to 8 characters (UTF-8).
std::string letter_file_name(const CAletter& letter, long platform);

// The file name saving a part proposes: its decoded name or file name
// parameter without what a file name cannot hold; empty when it has none.
std::string part_file_name(const CBody& body, long platform);

// The text Save writes, with the Chinese labels: the header block, then the
// body with its content types, part separators and texts; a text part shows
// when the Chinese platform setting (0 to 3) can show its charset, else a
// placeholder line. The program's words come in the code page of the
// platform setting, as the letters' own bytes do.
std::string letter_display_text(const CAletter& letter, long platform);

// A body of the letter by dotted part numbers ("1", "2.1"), numbered as the
// fetch routine numbers them; null when there is no such part.
const CBody* letter_section(const CBody& body, std::string_view section);
