#pragma once

#include <string>
#include <string_view>

#include "message/records.h"

// The whole header of a letter to be sent, ended by the empty line: the
// resent header first when there is one (and then every field named
// "ReSent-..."), the envelope's fields (never Bcc), and for a body the
// MIME-Version and Content- lines.
std::string header_write(const mail_envelope& envelope, const mail_body* body);

// One address field, folded before an address that would pass column 78.
// Nothing for an empty list.
void address_header_line(std::string& buffer, std::string_view name, const mail_envelope& envelope,
                         const mail_address* list);

// "Name: value" and CR LF; nothing for an absent value.
void text_header_line(std::string& buffer, std::string_view name, const mail_envelope& envelope,
                      const mail_text& value);

// An address list on one line, elements separated by ", ", groups with their
// members (for searching and showing, not for headers).
void address_list_write(std::string& buffer, const mail_address* list);

// route ":" mailbox "@" host, the mailbox quoted when it must be; nothing for
// an element without host.
void address_write(std::string& buffer, const mail_address& address);

// The text, in double quotes with backslash escapes when it holds any of the
// specials.
void quoted_append(std::string& buffer, std::string_view text, const char* specials);
