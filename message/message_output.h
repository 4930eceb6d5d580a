#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "message/records.h"

// Takes one piece of the letter's text; false when it could not be written.
using message_writer = std::function<bool(std::string_view text)>;

// Writes a letter: prepares the body for 7-bit transport, writes the header
// and then the body through the writer. True only when every piece was
// written; stops at the first failure.
bool message_output(mail_envelope& envelope, mail_body* body, const message_writer& write);

// Prepares a body tree for 7-bit transport: multiparts without parameters get
// a fresh BOUNDARY, 8BIT contents become quoted-printable and BINARY contents
// base64. False (reported) for an embedded message that is itself encoded,
// which cannot be sent as it stands.
bool rfc822_encode_body(mail_envelope& envelope, mail_body& body);

// Writes one body: its contents, or for a multipart each part with its
// delimiter and Content- lines, and the closing delimiter.
bool body_output(const mail_body& body, const message_writer& write);

// Appends the Content-Type line with parameters, and the
// Content-Transfer-Encoding (unless 7BIT), Content-ID and Content-Description
// lines of one body.
void body_header_write(std::string& buffer, const mail_body& body);

// A new multipart boundary: milliseconds since start-up, a random number, the
// time and the process number, as "%ld-%ld-%ld=:%ld".
std::string body_boundary_new();
