#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "message/records.h"

// Characters that end an unquoted token.
inline constexpr const char* word_specials = " ()<>@,;:\\\"[]";
inline constexpr const char* host_specials = " ()<>@,;:\\\"";      // domain literals stay whole
inline constexpr const char* phrase_specials = "()<>@,;:\\\"[].";  // quoting of names on output

// Appends the addresses of an RFC 822 address list to the end of the list
// (which may already hold elements); addresses without a host get the
// default host. Problems are reported through on_log and skipped.
void address_list_parse(std::unique_ptr<mail_address>& list, std::string_view text,
                        const std::string& default_host);

// The pieces below work on a zero-terminated text in a buffer of the
// caller's, which they may cut by writing a zero into it. A cursor is moved
// past what was read and becomes null when the text is used up or the rest
// of the list is abandoned.

// One address, with or without phrase and angle brackets.
std::unique_ptr<mail_address> address_parse(char*& cursor, const std::string& default_host);

// "<" [route ":"] addr-spec ">".
std::unique_ptr<mail_address> route_address_parse(char* text, char*& cursor,
                                                  const std::string& default_host);

// A local part with an optional "@" and host; a comment after it becomes the
// personal name.
std::unique_ptr<mail_address> addr_spec_parse(char* text, char*& cursor,
                                              const std::string& default_host);

// The end of a run of words, or null when the text holds no word.
char* phrase_end(char* text);

// The end of one word ending at a character of specials, or null.
char* word_end(char* text, const char* specials = word_specials);

// Skips blanks and comments. A comment left open is reported and the text is
// cut where it began.
void skip_white(char*& cursor);

// The text with double quotes dropped and backslash escapes undone.
std::string copy_dequoted(std::string_view text);
void dequote(std::string& text);

// Copies of personal, route, mailbox and host of every element (not error).
std::unique_ptr<mail_address> address_list_copy(const mail_address* list);
