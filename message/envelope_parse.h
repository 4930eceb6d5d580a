#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "message/records.h"
#include "message/text_source.h"

// Parses an RFC 822 header into a new envelope. When body is given, a new
// body is made too: the header's Content- fields (in a MIME header) describe
// it and its structure is read from the source, from its current position to
// its end. Addresses without a host get default_host (drivers pass
// local_host_name()). Never fails: problems are reported through on_log and
// whatever was understood is kept. depth is the nesting level of an embedded
// message (0 for a letter).
void envelope_parse(std::unique_ptr<mail_envelope>& envelope, std::unique_ptr<mail_body>* body,
                    std::string_view header, text_source* source, const std::string& default_host,
                    int depth = 0);

// A letter read from a source: the header at its current position, then the
// body to its end. body_offset is where the body begins.
struct parsed_letter {
  std::unique_ptr<mail_envelope> envelope;
  std::unique_ptr<mail_body> body;
  std::uint32_t body_offset = 0;
};
parsed_letter letter_parse(text_source& source, const std::string& default_host);

// Reads the header at the current position of a message text: up to and
// including the empty line (a line feed after a line feed, carriage returns
// aside), or to the end when there is none. The source is left after it.
std::string message_header_read(text_source& source);
