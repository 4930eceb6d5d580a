#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

struct mail_stream;
struct mail_envelope;
struct mail_body;

// The operations the core dispatches itself. A message number outside 1 to
// the message count is a fatal error; a stream without a driver gives nothing.
// Texts belong to the stream until its next fetch.

mail_envelope* mail_fetchstructure(mail_stream* stream, std::uint32_t msgno, mail_body** body);
std::string_view mail_fetchheader(mail_stream* stream, std::uint32_t msgno);
std::optional<std::string_view> mail_fetchbody(mail_stream* stream, std::uint32_t msgno,
                                               std::string_view section);

// Frees what the driver and the cache hold: envelopes and bodies
// (RELEASE_ENVELOPES) and the text buffer (RELEASE_TEXTS).
void mail_release(mail_stream* stream, long options);
