#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "net/imap_local.h"

struct mail_envelope;
struct mail_address;
struct mail_body;

// What a server may make the client hold. Past these the client reports a
// protocol error and closes the connection (imap_protocol_error).
constexpr long kImapLiteralLimit = 64L << 20;  // bytes of one literal
constexpr long kImapMessageLimit = 1L << 20;   // messages in a mailbox (EXISTS)
constexpr int kImapDepthLimit = 100;           // nesting of a body structure
constexpr int kImapPartLimit = 10000;          // parts of one body structure

// A read position in the data of a response. A literal ends the line it is
// announced on; the data go on at the start of the next line of the response.
class imap_cursor {
 public:
  imap_cursor(mail_stream* stream, std::string line) : stream_(stream), line_(std::move(line)) {}

  mail_stream* stream() const { return stream_; }
  bool at_end() const { return position_ >= line_.size(); }
  char peek() const { return at_end() ? '\0' : line_[position_]; }
  void skip(std::size_t count = 1) { position_ = std::min(line_.size(), position_ + count); }
  void skip_blanks() {
    while (peek() == ' ')
      skip();
  }
  std::string_view rest() const { return std::string_view(line_).substr(position_); }
  // The rest as a text, for reports.
  std::string shown() const { return std::string(rest()); }
  // Skips NIL (after blanks); true when it was there.
  bool skip_nil() {
    skip_blanks();
    if (peek() != 'N' && peek() != 'n') return false;
    skip(3);
    return true;
  }
  // Reads `size` bytes of a literal from the connection, then the line after them.
  std::optional<std::string> read_literal(std::uint32_t size);
  // Reads and throws away, by their counts, the literals announced at the end
  // of the current line and of the lines after them, so that their bytes are
  // never taken for responses. Called when a response was not read to its end.
  void skip_unread_literals();

 private:
  mail_stream* stream_;
  std::string line_;
  std::size_t position_ = 0;
};

// Handles one untagged response: counts, expunges, message data, flag names,
// search hits, listings and server notices.
void imap_unsolicited(mail_stream* stream, const imap_response& reply);

// Data items of responses. Each reports what it cannot read (an error to the
// log) and then yields nothing: no text, a null record, or the number 0.
std::optional<std::string> imap_string(imap_cursor& cursor);
long imap_number(imap_cursor& cursor);
std::unique_ptr<mail_envelope> imap_envelope(imap_cursor& cursor);
std::unique_ptr<mail_address> imap_address_list(imap_cursor& cursor);
void imap_flags(imap_cursor& cursor, std::uint32_t msgno);

// The message data of "* n FETCH (...)": envelope, flags, date, size, texts.
void imap_message_data(imap_cursor& cursor, std::uint32_t msgno);

// A body structure: NIL (null), a multipart body or a single part.
std::unique_ptr<mail_body> imap_body_structure(imap_cursor& cursor);

// BODY (a structure replacing the cached one) or BODY[section] (the contents
// of the part that the section names in the cached structure).
void imap_body_data(imap_cursor& cursor, std::uint32_t msgno, std::string_view item);

// Where the contents of a section go in a body structure (the message text of
// a MESSAGE part); null, reported when asked, when the section names no leaf.
mail_text* imap_section_contents(mail_body* body, std::string_view section, bool reporting);
