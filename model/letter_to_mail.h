#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "model/aletter.h"
#include "message/records.h"

// Letters of the model turned back into the mail library's records, for
// sending and for export.

// The transfer mode setting ("NetLink"): 1 allows 8-bit transfer, anything
// else means 7-bit.
inline constexpr int kEightBitTransfer = 1;

// The transfer encoding of a text: 7BIT when every byte is 1 to 127; else
// 8BIT when 8-bit transfer is allowed; else QUOTED-PRINTABLE when at most a
// sixth of the bytes are not 1 to 127, and BASE64 when more are. A line
// longer than 998 bytes cannot travel as it stands, so such a text is
// quoted-printable instead of 7BIT or 8BIT.
std::uint16_t text_encoding(std::string_view text, int transfer_mode);

// The mail body of a model body: type, subtype, parameters and id copied;
// text encoded by the rule above; other contents always base64; the parts of
// a multipart in order (with a BOUNDARY parameter if it has none); an
// embedded message's envelope, body and text.
std::unique_ptr<mail_body> body_to_mail(const CBody& body, int transfer_mode);

// The mail envelope of a model envelope: date (an internal date becomes an
// RFC 822 date), subject, message id and the address lists.
std::unique_ptr<mail_envelope> envelope_to_mail(const CEnvelope& envelope);

// The whole RFC 822 text of a letter: the header from its envelope, then the
// body. False when the body cannot be written.
bool letter_rfc822_text(const CAletter& letter, int transfer_mode, std::string& text);
