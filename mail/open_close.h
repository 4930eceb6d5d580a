#pragma once

#include <string_view>

struct mail_stream;
struct mail_driver;

// The first driver of the list that recognises the name. With a stream, only
// the stream's own driver counts (or "dummy", which then stands for it).
// Without a driver and with a purpose, logs "Can't <purpose> <name>: <reason>".
mail_driver* mail_find_driver(mail_stream* stream, std::string_view name, const char* purpose);

// Opens the mailbox on a new stream, or re-targets the stream given. Returns
// the stream, the driver's prototype (OPEN_PROTOTYPE) or null.
mail_stream* mail_open(mail_stream* stream, std::string_view name, long options);

// Closes the stream and frees it unless it is in use. Always returns null.
mail_stream* mail_close(mail_stream* stream);
