#include "net/imap_data.h"

#include <strings.h>
#include <cstring>

#include "mail/cache.h"
#include "mail/dates.h"
#include "mail/literal.h"
#include "mail/parameters.h"
#include "message/callbacks.h"
#include "message/records.h"
#include "net/imap_protocol.h"
#include "platform/storage.h"

namespace {

// Literal bytes for a literal reader, which gives a buffer of exactly size bytes.
bool read_block(void* source, std::uint32_t size, char* buffer) {
  auto* tcp = static_cast<tcp_stream*>(source);
  char piece[4097];
  while (size > 0) {
    std::uint32_t count = std::min<std::uint32_t>(size, sizeof piece - 1);
    if (!tcp_read_block(*tcp, count, piece)) return false;
    std::memcpy(buffer, piece, count);
    buffer += count;
    size -= count;
  }
  return true;
}

// A word up to a blank or a parenthesis.
std::string read_word(imap_cursor& cursor) {
  std::string word;
  while (!cursor.at_end() && cursor.peek() != ' ' && cursor.peek() != '(' && cursor.peek() != ')') {
    word += cursor.peek();
    cursor.skip();
  }
  return word;
}

// Skips "(" (after blanks); true when it was there.
bool open_paren(imap_cursor& cursor) {
  cursor.skip_blanks();
  if (cursor.peek() != '(') return false;
  cursor.skip();
  return true;
}

bool close_paren(imap_cursor& cursor) {
  cursor.skip_blanks();
  if (cursor.peek() != ')') return false;
  cursor.skip();
  return true;
}

std::unique_ptr<mail_address> imap_address(imap_cursor& cursor) {
  auto address = mail_new_address();
  address->personal = imap_string(cursor);
  address->route = imap_string(cursor);
  address->mailbox = imap_string(cursor);
  address->host = imap_string(cursor);
  if (!close_paren(cursor)) {
    mail_log(LOG_ERROR, "Junk at end of address: %.80s", cursor.shown().c_str());
    return nullptr;
  }
  return address;
}

// Whether a literal of this many bytes may be read; past the limit the
// connection is closed as for any protocol error.
bool literal_allowed(mail_stream* stream, long count) {
  if (count <= kImapLiteralLimit) return true;
  imap_protocol_error(stream, mail_format("Literal of %ld bytes is over the limit of %ld", count,
                                          kImapLiteralLimit));
  return false;
}

mail_element* element_for(imap_cursor& cursor, std::uint32_t msgno) {
  return mail_elt(cursor.stream(), msgno);
}

}  // namespace

std::optional<std::string> imap_cursor::read_literal(std::uint32_t size) {
  imap_local& local = *imap_local_of(stream_);
  if (!local.tcp) return std::nullopt;
  std::string bytes;
  auto reader =
      reinterpret_cast<mail_literal_reader>(mail_parameters(nullptr, GET_LITERAL_READER, nullptr));
  bool read = true;
  if (reader) {
    bytes = reader(read_block, local.tcp.get(), size);
  } else {
    // Grown with what arrives: a count announced without its bytes costs nothing.
    constexpr std::uint32_t kStep = 1u << 20;
    for (std::uint32_t done = 0; read && done < size; done += std::min(size - done, kStep)) {
      std::uint32_t count = std::min(size - done, kStep);
      bytes.resize(done + count + 1);
      read = tcp_read_block(*local.tcp, count, bytes.data() + done);
    }
    bytes.resize(size);
  }
  std::optional<std::string> next = read && local.tcp ? tcp_read_line(*local.tcp) : std::nullopt;
  if (!next) {
    tcp_close(local.tcp);
    line_.clear();
    position_ = 0;
    return std::nullopt;
  }
  if (stream_->debug) mail_callback().on_debug(*next);
  line_ = std::move(*next);
  position_ = 0;
  return bytes;
}

void imap_cursor::skip_unread_literals() {
  imap_local* local = imap_local_of(stream_);
  while (local && local->tcp) {
    std::string_view line = line_;
    std::size_t open = line.rfind('{');
    if (!line.ends_with('}') || open == std::string_view::npos || open + 2 >= line.size()) return;
    std::string_view digits = line.substr(open + 1, line.size() - open - 2);
    long count = 0;
    for (char c : digits) {
      if (c < '0' || c > '9') return;
      if (count <= kImapLiteralLimit) count = count * 10 + (c - '0');
    }
    if (!literal_allowed(stream_, count)) return;
    char piece[4096];
    for (long left = count; left > 0;) {
      auto taken = static_cast<std::uint32_t>(std::min<long>(left, sizeof piece - 1));
      if (!tcp_read_block(*local->tcp, taken, piece)) return;
      left -= taken;
    }
    std::optional<std::string> next = tcp_read_line(*local->tcp);
    if (!next) {
      tcp_close(local->tcp);
      return;
    }
    if (stream_->debug) mail_callback().on_debug(*next);
    line_ = std::move(*next);
    position_ = line_.size();
  }
}

std::optional<std::string> imap_string(imap_cursor& cursor) {
  cursor.skip_blanks();
  char first = cursor.peek();
  if (first == '"') {
    // A backslash escapes a double quote or a backslash; before anything
    // else it is an ordinary byte, as older servers send it.
    cursor.skip();
    std::string text;
    std::string_view rest = cursor.rest();
    std::size_t i = 0;
    for (; i < rest.size() && rest[i] != '"'; ++i) {
      if (rest[i] == '\\' && i + 1 < rest.size() && (rest[i + 1] == '"' || rest[i + 1] == '\\')) {
        ++i;
      }
      text += rest[i];
    }
    cursor.skip(i + 1);
    return text;
  }
  if (first == 'N' || first == 'n') {
    cursor.skip(3);
    return std::nullopt;
  }
  if (first == '{') {
    cursor.skip();
    long count = imap_number(cursor);
    if (count < 0) {
      mail_log(LOG_ERROR, "Bad number: %ld", count);
      count = 0;
    }
    if (!literal_allowed(cursor.stream(), count)) return std::nullopt;
    return cursor.read_literal(static_cast<std::uint32_t>(count));
  }
  mail_log(LOG_ERROR, "Not a string: %c%.80s", first ? first : ' ', cursor.shown().c_str());
  return std::nullopt;
}

long imap_number(imap_cursor& cursor) {
  cursor.skip_blanks();
  bool negative = cursor.peek() == '-';
  if (negative) cursor.skip();
  if (cursor.peek() < '0' || cursor.peek() > '9') {
    mail_log(LOG_ERROR, "Not a number: %.80s", cursor.shown().c_str());
    return 0;
  }
  long number = 0;
  while (cursor.peek() >= '0' && cursor.peek() <= '9') {
    if (number < 100000000000L) number = number * 10 + (cursor.peek() - '0');
    cursor.skip();
  }
  return negative ? -number : number;
}

std::unique_ptr<mail_envelope> imap_envelope(imap_cursor& cursor) {
  if (cursor.skip_nil()) return nullptr;
  if (!open_paren(cursor)) {
    mail_log(LOG_ERROR, "Not an envelope: %.80s", cursor.shown().c_str());
    return nullptr;
  }
  auto envelope = mail_new_envelope();
  envelope->date = imap_string(cursor);
  envelope->subject = imap_string(cursor);
  envelope->from = imap_address_list(cursor);
  envelope->sender = imap_address_list(cursor);
  envelope->reply_to = imap_address_list(cursor);
  envelope->to = imap_address_list(cursor);
  envelope->cc = imap_address_list(cursor);
  envelope->bcc = imap_address_list(cursor);
  envelope->in_reply_to = imap_string(cursor);
  envelope->message_id = imap_string(cursor);
  if (!close_paren(cursor)) {
    mail_log(LOG_ERROR, "Junk at end of envelope: %.80s", cursor.shown().c_str());
  }
  return envelope;
}

std::unique_ptr<mail_address> imap_address_list(imap_cursor& cursor) {
  if (cursor.skip_nil()) return nullptr;
  if (!open_paren(cursor)) {
    mail_log(LOG_ERROR, "Not an address: %.80s", cursor.shown().c_str());
    return nullptr;
  }
  std::unique_ptr<mail_address> list;
  std::unique_ptr<mail_address>* tail = &list;
  for (;;) {
    cursor.skip_blanks();
    if (cursor.peek() == ')') {
      cursor.skip();
      return list;
    }
    if (cursor.peek() != '(') {
      mail_log(LOG_ERROR, "Junk at end of address list: %.80s", cursor.shown().c_str());
      return list;
    }
    cursor.skip();
    std::unique_ptr<mail_address> address = imap_address(cursor);
    if (!address) return list;
    *tail = std::move(address);
    tail = &(*tail)->next;
  }
}

void imap_flags(imap_cursor& cursor, std::uint32_t msgno) {
  mail_stream* stream = cursor.stream();
  mail_element* element = element_for(cursor, msgno);
  element->seen = element->deleted = element->flagged = element->answered = element->recent = 0;
  element->user_flags = 0;
  if (open_paren(cursor)) {
    for (;;) {
      cursor.skip_blanks();
      if (cursor.at_end() || cursor.peek() == ')') break;
      std::string word = read_word(cursor);
      if (word.empty()) {
        cursor.skip();
        continue;
      }
      if (word.front() == '\\') {
        text_upper(word);
        if (word == "\\SEEN") {
          element->seen = 1;
        } else if (word == "\\DELETED") {
          element->deleted = 1;
        } else if (word == "\\FLAGGED") {
          element->flagged = 1;
        } else if (word == "\\ANSWERED") {
          element->answered = 1;
        } else if (word == "\\RECENT") {
          element->recent = 1;
        } else if (word != "\\JUNKED" && word != "\\XXXX" && word != "\\YYYY" &&
                   word != "\\UNDEFINEDFLAG") {
          mail_log(LOG_WARNING, "Unknown system flag: %.80s", word.c_str());
        }
        continue;
      }
      bool known = false;
      for (std::size_t i = 0; i < stream->user_flags.size() && !known; ++i) {
        if (stream->user_flags[i] == word) {
          element->user_flags |= 1u << i;
          known = true;
        }
      }
      if (!known) mail_log(LOG_WARNING, "Unknown user flag: %.80s", word.c_str());
    }
    cursor.skip();  // the closing parenthesis
  }
  mail_callback().on_flags(stream, msgno);
}

void imap_message_data(imap_cursor& cursor, std::uint32_t msgno) {
  mail_stream* stream = cursor.stream();
  imap_local& local = *imap_local_of(stream);
  open_paren(cursor);
  for (;;) {
    while (cursor.peek() == ' ' || cursor.peek() == ')')
      cursor.skip();
    if (cursor.at_end()) return;
    std::string name;
    while (!cursor.at_end() && cursor.peek() != ' ' && cursor.peek() != ')') {
      name += cursor.peek();
      cursor.skip();
    }
    text_upper(name);
    if (name == "ENVELOPE") {
      std::unique_ptr<mail_envelope> envelope = imap_envelope(cursor);
      if (stream->short_cache) {
        if (msgno == stream->current_msgno) stream->current_envelope = std::move(envelope);
      } else {
        mail_lelt(stream, msgno)->envelope = std::move(envelope);
      }
    } else if (name == "FLAGS") {
      imap_flags(cursor, msgno);
    } else if (name == "INTERNALDATE") {
      std::optional<std::string> date = imap_string(cursor);
      if (!date || !mail_parse_date(*element_for(cursor, msgno), *date)) {
        mail_log(LOG_ERROR, "Bogus date: %.80s", date.value_or("NIL").c_str());
      }
    } else if (name == "RFC822.HEADER") {
      imap_texts(local, msgno).header = imap_string(cursor);
    } else if (name == "RFC822.SIZE") {
      element_for(cursor, msgno)->rfc822_size = static_cast<std::uint32_t>(imap_number(cursor));
    } else if (name == "RFC822.TEXT" || name == "RFC822") {
      imap_texts(local, msgno).text = imap_string(cursor);
    } else if (name.starts_with("BODY")) {
      imap_body_data(cursor, msgno, name);
    } else {
      mail_log(LOG_ERROR, "Unknown message property: %.80s", name.c_str());
      return;
    }
  }
}
