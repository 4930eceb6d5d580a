#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "mail/driver.h"
#include "mail/element.h"
#include "mail/local_file.h"

struct mail_envelope;
struct mail_body;

// What sets one local mailbox format apart from the others; the operations
// below serve all three formats through it.
struct local_format {
  mail_driver* driver;
  const char* label;              // "Tenexdos", as in "Not a Tenexdos-format mailbox: %s"
  bool crlf_delivery;             // texts are delivered with each bare LF as CR LF
  bool flags_in_file;             // flag changes are written into the file
  std::uint32_t line_end_length;  // of the internal header line (flags end just before it)
  bool separator_lines;           // messages begin with a line that must start a line
  // Whether a non-empty file begins as a mailbox of this format.
  bool (*recognises)(int fd);
  // Reads the messages added since the last parse; false once the stream
  // has been aborted.
  bool (*parse)(mail_stream* stream);
};

// Opens the stream's file for the format (creating a missing INBOX when
// asked) and parses it; the common part of the formats' open.
mail_stream* local_open(const local_format& format, mail_stream* stream, bool create_inbox);

// Element data of the local drivers: data1 is the offset of the message's
// first line (internal header or separator), data2 that line's length (top 8
// bits, 255 for a longer one) and the message header's length (low 24 bits,
// 0 while not computed).
void local_element_place(mail_element& element, std::uint64_t offset, std::uint32_t line_length);
std::uint32_t local_line_length(mail_stream* stream, const mail_element& element);

// Where a message's text (after its first line) lies in the file.
struct local_range {
  std::uint64_t start;
  std::uint32_t length;
};
local_range local_text_range(mail_stream* stream, std::uint32_t msgno);

// The length of the message header, up to and including its empty line (a
// line feed followed by a line feed or by CR LF); the whole text when it has
// none.
std::uint32_t local_header_length(mail_stream* stream, std::uint32_t msgno);

// The size of the message with CR LF line ends, computed when not yet known.
std::uint32_t local_rfc822_size(mail_stream* stream, std::uint32_t msgno);

// Counts the line feeds that no carriage return precedes in a stretch of the file.
std::uint32_t local_count_bare_line_feeds(local_file& file, std::uint64_t start,
                                          std::uint32_t length);

// A stretch of the file as the stream's text, through the literal reader:
// with CR LF line ends when the format delivers them.
std::string_view local_text_deliver(mail_stream* stream, std::uint64_t start, std::uint32_t length);

// Flags: the system flag value (seen 1, deleted 2, flagged 4, answered 8) of
// an element, set on an element, and written back to the file.
unsigned local_flag_value(const mail_element& element);
void local_flags_apply(mail_element& element, unsigned flags, bool set);
void local_flags_store(mail_stream* stream, mail_element& element);
// Before flags are stored: takes the file's lock (when flags are written into
// it) and reads what was appended since the last look; false, reported, when
// either fails (the stream may then have been closed).
bool local_flags_lock(mail_stream* stream, std::optional<local_lock>& lock);

// The operations the three formats share, for their driver tables. Their
// results mean what the driver table says (mail/driver.h); a stream whose
// file could not be read any more has been aborted (no driver, no file), and
// every operation on it gives the failing result without a further report.
void local_list(mail_stream* stream, std::string_view pattern);
void local_list_all(mail_stream* stream, std::string_view pattern);
void local_list_nothing(mail_stream* stream, std::string_view pattern);
bool local_subscribe(mail_stream* stream, std::string_view mailbox);
bool local_unsubscribe(mail_stream* stream, std::string_view mailbox);
bool local_bboard_refused(mail_stream* stream, std::string_view name);
bool local_create(mail_stream* stream, std::string_view mailbox);
bool local_delete(mail_stream* stream, std::string_view mailbox);
bool local_rename(mail_stream* stream, std::string_view old_name, std::string_view new_name);
void* local_parameters(long code, void* value);
void local_close(mail_stream* stream);
void local_fetch_nothing(mail_stream* stream, std::string_view sequence);
mail_envelope* local_fetchstructure(mail_stream* stream, std::uint32_t msgno, mail_body** body);
std::string_view local_fetchheader(mail_stream* stream, std::uint32_t msgno);
std::string_view local_fetchtext(mail_stream* stream, std::uint32_t msgno);
std::optional<std::string_view> local_fetchbody(mail_stream* stream, std::uint32_t msgno,
                                                std::string_view section);
void local_setflag(mail_stream* stream, std::string_view sequence, std::string_view flags);
void local_clearflag(mail_stream* stream, std::string_view sequence, std::string_view flags);
void local_search(mail_stream* stream, std::string_view criteria);
bool local_ping(mail_stream* stream);
void local_check(mail_stream* stream);
bool local_copy(mail_stream* stream, std::string_view sequence, std::string_view mailbox);
bool local_move(mail_stream* stream, std::string_view sequence, std::string_view mailbox);
void local_release(mail_stream* stream, long options);

// Checks the destination of a copy or append for the format, with the
// reports of both: TRYCREATE for a missing file, "Invalid mailbox name",
// "Not a <label>-format mailbox". A missing INBOX may be created.
bool local_destination_ok(const local_format& format, mail_stream* stream, std::string_view mailbox,
                          bool create_inbox);

// A local driver's table: the shared operations with the format's own.
constexpr mail_driver local_driver(const char* name, mail_driver* (*valid)(std::string_view),
                                   mail_stream* (*open)(mail_stream*),
                                   void (*fetchfast)(mail_stream*, std::string_view),
                                   void (*expunge)(mail_stream*),
                                   bool (*append)(mail_stream*, std::string_view,
                                                  std::optional<std::string_view>,
                                                  std::optional<std::string_view>, text_source&)) {
  return mail_driver{name,
                     nullptr,
                     valid,
                     local_parameters,
                     local_list,
                     local_list_nothing,
                     local_list_all,
                     local_list_nothing,
                     local_subscribe,
                     local_unsubscribe,
                     local_bboard_refused,
                     local_bboard_refused,
                     local_create,
                     local_delete,
                     local_rename,
                     open,
                     local_close,
                     fetchfast,
                     local_fetch_nothing,
                     local_fetchstructure,
                     local_fetchheader,
                     local_fetchtext,
                     local_fetchbody,
                     local_setflag,
                     local_clearflag,
                     local_search,
                     local_ping,
                     local_check,
                     expunge,
                     local_copy,
                     local_move,
                     append,
                     local_release};
}
