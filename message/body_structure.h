#pragma once

#include <string>

#include "message/records.h"
#include "message/text_source.h"

// Multiparts and embedded messages nested deeper than this are left unsplit
// (and reported), so that no letter can exhaust the stack.
inline constexpr int body_nesting_limit = 100;

// Fills the computed fields of a body whose Content- fields are already
// applied, reading its text from the source's current position to its end:
// sizes and line counts, the parts of a multipart body (split at its
// boundary, each with its own Content- fields) and the envelope and body of
// an embedded message. Offsets are positions in the source's text. depth is
// the number of multiparts and messages around this body.
void body_content_parse(mail_body& body, text_source& source, const std::string& default_host,
                        int depth = 0);
