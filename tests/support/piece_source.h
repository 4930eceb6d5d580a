#pragma once

#include <cstdint>
#include <string_view>

#include "message/text_source.h"

// A text_source over memory that delivers the text in chunks of a given
// size, as a file source does, to check that readers do not depend on
// having the text in one piece.
void text_source_in_pieces(text_source& source, std::string_view text, std::uint32_t piece_size);
