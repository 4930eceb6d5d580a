#pragma once

#include <string_view>

#include "message/records.h"

// Characters that end a MIME token.
inline constexpr const char* token_specials = " ()<>@,;:\\\"[]/?=";

// Applies one "Content-" header field to a body: name is the rest of the
// field name, upper case (TYPE, TRANSFER-ENCODING, ID, DESCRIPTION; others are
// ignored). The first Content-Type, Content-ID and Content-Description win.
void content_header_parse(mail_body& body, std::string_view name, std::string_view value);
