#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

struct mail_stream;

// Exactly width characters, blank-padded: the personal name of the first From
// address that has a host, else "mailbox@host"; blanks when there is none.
std::string mail_from_field(mail_stream* stream, std::uint32_t msgno, std::size_t width);

// At most width characters of the subject; a single blank when there is none.
std::string mail_subject_field(mail_stream* stream, std::uint32_t msgno, std::size_t width);
