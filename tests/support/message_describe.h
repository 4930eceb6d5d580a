#pragma once

#include <string>
#include <string_view>

#include "message/records.h"

// Every field of a parsed envelope and body tree, one per line, so that two
// parses can be compared whole and a difference shows where it is.
std::string envelope_describe(const mail_envelope& envelope);
std::string body_describe(const mail_body& body);

// Parses a whole message (header, then body) as kestrel-mail parse does,
// reading it in pieces of piece_size bytes (0: one piece), and describes it.
std::string message_describe(std::string_view message, unsigned piece_size);
