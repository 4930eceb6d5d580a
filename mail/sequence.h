#pragma once

#include <string_view>

struct mail_stream;

// Marks the messages named by a sequence such as "1,3:5" (ranges either way,
// no wildcard) with the sequence bit, after clearing it on every message.
// A bad text is logged at the error level and gives false; the marks made
// before the error stay.
bool mail_select_sequence(mail_stream* stream, std::string_view sequence);
