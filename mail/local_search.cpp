// Searching the messages of a local mailbox file.

#include <algorithm>
#include <functional>
#include <memory>

#include "mail/cache.h"
#include "mail/dates.h"
#include "mail/local_format.h"
#include "message/callbacks.h"
#include "message/header_write.h"
#include "platform/storage.h"

namespace {

char fold(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool same_folded(char a, char b) {
  return fold(a) == fold(b);
}

struct folded_hash {
  std::size_t operator()(char c) const { return std::hash<char>()(fold(c)); }
};

// A search text, ASCII letters matching whatever their case.
class search_text {
 public:
  explicit search_text(std::string text)
      : text_(std::move(text)), searcher_(text_.begin(), text_.end(), folded_hash(), same_folded) {}
  std::size_t size() const { return text_.size(); }
  bool found_in(std::string_view haystack) const {
    if (text_.empty()) return true;
    return std::search(haystack.begin(), haystack.end(), searcher_) != haystack.end();
  }

 private:
  std::string text_;
  std::boyer_moore_horspool_searcher<std::string::iterator, folded_hash, bool (*)(char, char)>
      searcher_;
};

// Whether a stretch of the file holds the text; pieces overlap by the text's
// length so that a match across two of them is found.
bool file_contains(local_file& file, std::uint64_t start, std::uint32_t length,
                   const search_text& text) {
  if (text.size() == 0) return true;
  constexpr std::size_t kPiece = 1 << 16;
  std::uint64_t position = start;
  std::uint64_t end = start + length;
  while (position < end) {
    std::size_t wanted = static_cast<std::size_t>(std::min<std::uint64_t>(end - position, kPiece));
    std::string_view piece = local_view(file, position, wanted, wanted);
    if (piece.empty()) return false;
    if (text.found_in(piece)) return true;
    if (position + piece.size() >= end) return false;
    position += piece.size() > text.size() ? piece.size() - text.size() + 1 : 1;
  }
  return false;
}

// The criteria text, read a word or an argument at a time.
class criteria_reader {
 public:
  explicit criteria_reader(std::string_view text) : text_(text) {}

  // The next word, upper-cased; nothing at the end.
  std::optional<std::string> word() {
    skip_blanks();
    if (at_end()) return std::nullopt;
    std::string word(take_atom());
    return text_upper(word);
  }

  // An atom, a quoted string or a literal ("{" count "}" CR LF bytes).
  std::optional<std::string> argument() {
    skip_blanks();
    if (at_end()) return std::nullopt;
    char first = text_[position_];
    if (first == '"') {
      std::size_t close = text_.find('"', position_ + 1);
      if (close == std::string_view::npos) return std::nullopt;
      std::string value(text_.substr(position_ + 1, close - position_ - 1));
      position_ = close + 1;
      return value;
    }
    if (first == '{') return literal();
    return std::string(take_atom());
  }

 private:
  bool at_end() const { return position_ >= text_.size(); }
  void skip_blanks() {
    while (!at_end() && text_[position_] == ' ')
      ++position_;
  }
  std::string_view take_atom() {
    std::size_t end = std::min(text_.find(' ', position_), text_.size());
    std::string_view atom = text_.substr(position_, end - position_);
    position_ = end;
    return atom;
  }
  std::optional<std::string> literal() {
    std::size_t close = text_.find('}', position_);
    if (close == std::string_view::npos || close == position_ + 1) return std::nullopt;
    std::uint64_t count = 0;
    for (std::size_t i = position_ + 1; i < close; ++i) {
      char c = text_[i];
      if (c < '0' || c > '9' || count > text_.size()) return std::nullopt;
      count = count * 10 + static_cast<unsigned>(c - '0');
    }
    std::size_t start = close + 3;
    if (text_.substr(close + 1, 2) != "\r\n" || start + count > text_.size()) return std::nullopt;
    std::size_t end = start + static_cast<std::size_t>(count);
    if (end < text_.size() && text_[end] != ' ') return std::nullopt;
    position_ = end;
    return std::string(text_.substr(start, static_cast<std::size_t>(count)));
  }

  std::string_view text_;
  std::size_t position_ = 0;
};

unsigned packed_date(const mail_element& element) {
  return (static_cast<unsigned>(element.year) << 9) + (static_cast<unsigned>(element.month) << 5) +
         element.day;
}

using message_test = std::function<bool(std::uint32_t msgno)>;

// The test of one criterion word; nothing for an unknown word or a missing
// or malformed argument.
std::optional<message_test> criterion(mail_stream* stream, local_file& file,
                                      const std::string& word, criteria_reader& reader) {
  auto element = [stream](std::uint32_t msgno) -> mail_element& {
    return *mail_elt(stream, msgno);
  };
  auto with = [element](auto get) -> message_test {
    return [element, get](std::uint32_t msgno) { return get(element(msgno)); };
  };
  if (word == "ALL") return with([](mail_element&) { return true; });
  if (word == "ANSWERED") return with([](mail_element& e) { return e.answered == 1; });
  if (word == "DELETED") return with([](mail_element& e) { return e.deleted == 1; });
  if (word == "FLAGGED") return with([](mail_element& e) { return e.flagged == 1; });
  if (word == "SEEN") return with([](mail_element& e) { return e.seen == 1; });
  if (word == "RECENT") return with([](mail_element& e) { return e.recent == 1; });
  if (word == "UNANSWERED") return with([](mail_element& e) { return e.answered == 0; });
  if (word == "UNDELETED") return with([](mail_element& e) { return e.deleted == 0; });
  if (word == "UNFLAGGED") return with([](mail_element& e) { return e.flagged == 0; });
  if (word == "UNSEEN") return with([](mail_element& e) { return e.seen == 0; });
  if (word == "NEW") return with([](mail_element& e) { return e.recent && !e.seen; });
  if (word == "OLD") return with([](mail_element& e) { return e.recent == 0; });
  if (word == "KEYWORD" || word == "UNKEYWORD") {
    // Local mailboxes carry no keywords.
    if (!reader.argument()) return std::nullopt;
    bool absent = word == "UNKEYWORD";
    return with([absent](mail_element&) { return absent; });
  }
  if (word == "BEFORE" || word == "ON" || word == "SINCE") {
    std::optional<std::string> text = reader.argument();
    mail_element date;
    if (!text || !mail_parse_date(date, *text) || packed_date(date) == 0) return std::nullopt;
    unsigned wanted = packed_date(date);
    if (word == "BEFORE")
      return with([wanted](mail_element& e) { return packed_date(e) < wanted; });
    if (word == "ON") return with([wanted](mail_element& e) { return packed_date(e) == wanted; });
    return with([wanted](mail_element& e) { return packed_date(e) >= wanted; });
  }
  std::optional<std::string> text = reader.argument();
  if (!text) return std::nullopt;
  auto wanted = std::make_shared<search_text>(std::move(*text));
  auto address_field = [stream, wanted](std::unique_ptr<mail_address> mail_envelope::*field) {
    return message_test([stream, wanted, field](std::uint32_t msgno) {
      mail_envelope* envelope = local_fetchstructure(stream, msgno, nullptr);
      if (!envelope) return false;
      std::string written;
      address_list_write(written, (envelope->*field).get());
      return wanted->found_in(written);
    });
  };
  if (word == "SUBJECT") {
    return message_test([stream, wanted](std::uint32_t msgno) {
      mail_envelope* envelope = local_fetchstructure(stream, msgno, nullptr);
      return envelope && envelope->subject && wanted->found_in(*envelope->subject);
    });
  }
  if (word == "FROM") return address_field(&mail_envelope::from);
  if (word == "TO") return address_field(&mail_envelope::to);
  if (word == "CC") return address_field(&mail_envelope::cc);
  if (word == "BCC") return address_field(&mail_envelope::bcc);
  if (word == "BODY" || word == "TEXT") {
    bool body_only = word == "BODY";
    return message_test([stream, &file, wanted, body_only](std::uint32_t msgno) {
      local_range range = local_text_range(stream, msgno);
      if (body_only) {
        std::uint32_t header = local_header_length(stream, msgno);
        range.start += header;
        range.length -= header;
      }
      return file_contains(file, range.start, range.length, *wanted);
    });
  }
  return std::nullopt;
}

}  // namespace

void local_search(mail_stream* stream, std::string_view criteria) {
  local_file* file = local_file_of(stream);
  if (!file) return;
  for (std::uint32_t i = 1; i <= stream->nmsgs; ++i)
    mail_elt(stream, i)->searched = 1;
  criteria_reader reader(criteria);
  while (std::optional<std::string> word = reader.word()) {
    std::optional<message_test> test = criterion(stream, *file, *word, reader);
    if (!test) {
      mail_log(LOG_ERROR, "Unknown search criterion");
      return;
    }
    for (std::uint32_t i = 1; i <= stream->nmsgs; ++i) {
      mail_element& element = *mail_elt(stream, i);
      if (element.searched && !(*test)(i)) element.searched = 0;
    }
  }
  for (std::uint32_t i = 1; i <= stream->nmsgs; ++i) {
    if (mail_elt(stream, i)->searched) mail_note_searched(stream, i);
  }
}
