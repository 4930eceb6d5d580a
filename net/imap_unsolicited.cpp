#include <strings.h>

#include "mail/cache.h"
#include "message/callbacks.h"
#include "net/imap_data.h"
#include "net/imap_protocol.h"
#include "platform/storage.h"

namespace {

bool is_number(std::string_view text) {
  if (text.empty() || text.size() > 10) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

// Reads and throws away the literals a response that was read without a
// cursor announces at its end.
void skip_announced_literals(mail_stream* stream, const imap_response& reply) {
  if (reply.line.ends_with('}')) imap_cursor(stream, reply.line).skip_unread_literals();
}

void message_data(mail_stream* stream, long number, const imap_response& reply) {
  std::string_view text = reply.text;
  std::size_t blank = text.find(' ');
  std::string word(text.substr(0, blank));
  text_upper(word);
  std::string_view rest = blank == std::string_view::npos ? "" : text.substr(blank + 1);
  auto msgno = static_cast<std::uint32_t>(number);
  if (word == "EXISTS" && number > kImapMessageLimit) {
    // The cache would grow with the count.
    imap_protocol_error(stream, mail_format("Message count %ld is over the limit of %ld", number,
                                            kImapMessageLimit));
  } else if (word == "EXISTS") {
    mail_note_exists(stream, msgno);
  } else if (word == "RECENT") {
    mail_note_recent(stream, static_cast<std::uint32_t>(std::min(number, kImapMessageLimit)));
  } else if (word == "EXPUNGE" && number >= 1 && number <= long{stream->nmsgs}) {
    imap_local& local = *imap_local_of(stream);
    if (msgno <= local.texts.size()) local.texts.erase(local.texts.begin() + (msgno - 1));
    mail_note_expunged(stream, msgno);
  } else if ((word == "FETCH" || word == "STORE") && (number < 1 || number > long{stream->nmsgs})) {
    imap_protocol_error(stream, mail_format("Message data for message %ld of %ld", number,
                                            static_cast<long>(stream->nmsgs)));
  } else if (word == "FETCH" || word == "STORE") {
    imap_cursor cursor(stream, std::string(rest));
    imap_message_data(cursor, msgno);
    cursor.skip_unread_literals();
    return;
  } else if (word != "COPY") {
    mail_log(LOG_ERROR, "Unknown message data: %ld %.80s", number, reply.text.c_str());
  }
  skip_announced_literals(stream, reply);
}

// FLAGS: the names of the mailbox's user flags, in order.
void flag_names(mail_stream* stream, std::string_view text) {
  stream->flag_names = std::string(text);
  for (mail_text& name : stream->user_flags)
    name.reset();
  std::size_t slot = 0;
  std::string word;
  for (char c : text) {
    if (c == '(' || c == ')' || c == ' ') {
      if (!word.empty() && word.front() != '\\' && slot < stream->user_flags.size()) {
        stream->user_flags[slot++] = word;
      }
      word.clear();
    } else {
      word += c;
    }
  }
  if (!word.empty() && word.front() != '\\' && slot < stream->user_flags.size()) {
    stream->user_flags[slot] = word;
  }
}

// LIST and LSUB of IMAP4 servers: "(attributes) delimiter name".
void listed_mailbox(mail_stream* stream, const std::string& text) {
  imap_cursor cursor(stream, text);
  cursor.skip_blanks();
  if (cursor.peek() == '(') {
    while (!cursor.at_end() && cursor.peek() != ')')
      cursor.skip();
    cursor.skip();
  }
  imap_string(cursor);  // the hierarchy delimiter
  cursor.skip_blanks();
  std::optional<std::string> name;
  if (cursor.peek() == '"' || cursor.peek() == '{') {
    name = imap_string(cursor);
  } else {
    name = std::string(cursor.rest());
  }
  cursor.skip_unread_literals();
  if (name && !name->empty()) mail_callback().on_mailbox(imap_local_of(stream)->prefix + *name);
}

void search_hits(mail_stream* stream, std::string_view text) {
  while (!text.empty()) {
    std::size_t blank = text.find(' ');
    std::string_view word = text.substr(0, blank);
    text = blank == std::string_view::npos ? "" : text.substr(blank + 1);
    if (!is_number(word)) continue;
    unsigned long msgno = std::stoul(std::string(word));
    if (msgno >= 1 && msgno <= stream->nmsgs) {
      mail_note_searched(stream, static_cast<std::uint32_t>(msgno));
    }
  }
}

// The words of a CAPABILITY response or response code.
void capabilities(mail_stream* stream, std::string_view words) {
  imap_local& local = *imap_local_of(stream);
  local.capabilities.clear();
  local.capabilities_known = true;
  while (!words.empty()) {
    std::size_t blank = words.find(' ');
    std::string word(words.substr(0, blank));
    if (!word.empty()) local.capabilities.push_back(text_upper(word));
    words = blank == std::string_view::npos ? "" : words.substr(blank + 1);
  }
}

void unsolicited_text(mail_stream* stream, const imap_response& reply) {
  const std::string& key = reply.key;
  const mail_callbacks& callbacks = mail_callback();
  if (key == "CAPABILITY") {
    capabilities(stream, reply.text);
  } else if (key == "FLAGS") {
    flag_names(stream, reply.text);
  } else if (key == "SEARCH") {
    search_hits(stream, reply.text);
  } else if (key == "MAILBOX") {
    callbacks.on_mailbox(imap_local_of(stream)->prefix + reply.text);
  } else if (key == "BBOARD") {
    callbacks.on_bboard(imap_local_of(stream)->prefix + reply.text);
  } else if (key == "OK" || key == "PREAUTH") {
    constexpr std::string_view kCode = "[CAPABILITY ";
    if (reply.text.size() > kCode.size() &&
        strncasecmp(reply.text.c_str(), kCode.data(), kCode.size()) == 0) {
      std::string_view rest = std::string_view(reply.text).substr(kCode.size());
      capabilities(stream, rest.substr(0, rest.find(']')));
    }
    if (reply.text.size() >= 11 && strncasecmp(reply.text.c_str(), "[READ-ONLY]", 11) == 0) {
      stream->readonly = true;
    }
    callbacks.on_notify(stream, reply.text, LOG_INFO);
  } else if (key == "NO") {
    if (!stream->silent) callbacks.on_notify(stream, reply.text, LOG_WARNING);
  } else if (key == "BYE") {
    if (!stream->silent) callbacks.on_notify(stream, reply.text, LOG_FAREWELL);
  } else if (key == "BAD") {
    callbacks.on_notify(stream, reply.text, LOG_ERROR);
  } else {
    mail_log(LOG_ERROR, "Unexpected unsolicited message: %.80s", reply.line.c_str());
  }
}

}  // namespace

void imap_unsolicited(mail_stream* stream, const imap_response& reply) {
  if (is_number(reply.key)) {
    message_data(stream, std::stol(reply.key), reply);
    return;
  }
  if (reply.key == "LIST" || reply.key == "LSUB") {
    listed_mailbox(stream, reply.text);
    return;
  }
  unsolicited_text(stream, reply);
  // Nothing here reads literals: any the line announces are thrown away.
  skip_announced_literals(stream, reply);
}
