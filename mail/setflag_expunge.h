#pragma once

#include <string_view>

struct mail_stream;

// Changes the core dispatches to the stream's driver; a stream without a
// driver is left as it is.

// Sets the flags (such as "\Seen \Deleted") on the messages of the sequence.
void mail_setflag(mail_stream* stream, std::string_view sequence, std::string_view flags);

// Removes the messages flagged deleted.
void mail_expunge(mail_stream* stream);
