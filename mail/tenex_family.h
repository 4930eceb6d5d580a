#pragma once

#include <optional>
#include <string_view>

#include "mail/local_format.h"

// The Tenexdos and Dawz formats: each message stands behind an internal
// header line (mail/internal_header.h). Tenexdos ends that line with LF and
// stores messages without CR bytes; Dawz ends it with CR LF and stores
// messages as they were given. What the two share is here; the format record
// tells them apart (line_end_length, crlf_delivery).

// Whether the file's first line is an internal header line of the format.
bool tenex_recognises(int fd, std::uint32_t line_end_length);

// Reads the messages added since the last parse.
bool tenex_parse(mail_stream* stream);

// Removes the messages flagged deleted, moving the others down the file.
void tenex_expunge(mail_stream* stream);

// Appends one message behind a new internal header line. An empty message is
// refused: its line would carry a length of 0, which no reader accepts.
bool tenex_append(const local_format& format, mail_stream* stream, std::string_view mailbox,
                  std::optional<std::string_view> flags, std::optional<std::string_view> date,
                  text_source& message);
