#include "message/header_write.h"

#include "message/address_parse.h"
#include "message/message_output.h"

namespace {

constexpr std::size_t kFoldColumn = 78;

bool group_start(const mail_address& address) {
  return address.mailbox && !address.host;
}
bool group_end(const mail_address& address) {
  return !address.mailbox && !address.host;
}
bool next_has_mailbox(const mail_address& address) {
  return address.next && address.next->mailbox;
}

// A plain address, or the name and the address in angle brackets.
void mailbox_write(std::string& buffer, const mail_address& address) {
  if (!address.personal && !address.route) {
    address_write(buffer, address);
    return;
  }
  if (address.personal) quoted_append(buffer, *address.personal, phrase_specials);
  buffer += " <";
  address_write(buffer, address);
  buffer += '>';
}

void field_prefix(std::string& buffer, std::string_view name, const mail_envelope& envelope) {
  if (envelope.resent_header) buffer += "ReSent-";
  buffer += name;
  buffer += ": ";
}

}  // namespace

void quoted_append(std::string& buffer, std::string_view text, const char* specials) {
  if (text.find_first_of(specials) == std::string_view::npos) {
    buffer += text;
    return;
  }
  buffer += '"';
  for (char c : text) {
    if (c == '"' || c == '\\') buffer += '\\';
    buffer += c;
  }
  buffer += '"';
}

void address_write(std::string& buffer, const mail_address& address) {
  if (!address.host) return;
  if (address.route) {
    buffer += *address.route;
    buffer += ':';
  }
  quoted_append(buffer, address.mailbox.value_or(""), word_specials);
  if (!address.host->starts_with('@')) {
    buffer += '@';
    buffer += *address.host;
  }
}

void address_list_write(std::string& buffer, const mail_address* list) {
  for (const mail_address* address = list; address; address = address->next.get()) {
    if (group_start(*address)) {
      quoted_append(buffer, *address->mailbox, phrase_specials);
      buffer += ": ";
      continue;  // the first member follows without a separator
    }
    if (group_end(*address)) {
      buffer += ';';
    } else {
      mailbox_write(buffer, *address);
    }
    if (next_has_mailbox(*address)) buffer += ", ";
  }
}

void address_header_line(std::string& buffer, std::string_view name, const mail_envelope& envelope,
                         const mail_address* list) {
  if (!list) return;
  const std::size_t prefix_start = buffer.size();
  field_prefix(buffer, name, envelope);
  std::size_t line = buffer.size() - prefix_start;
  int depth = 0;
  std::string piece;
  for (const mail_address* address = list; address; address = address->next.get()) {
    piece.clear();
    if (group_start(*address)) {
      quoted_append(piece, *address->mailbox, phrase_specials);
      piece += ": ";
      ++depth;
    } else if (group_end(*address)) {
      if (depth > 0) {
        piece += ';';
        --depth;
        if (next_has_mailbox(*address)) piece += ", ";
      }
    } else if (depth == 0) {  // group members are not shown
      mailbox_write(piece, *address);
      if (next_has_mailbox(*address)) piece += ", ";
    }
    if (line + piece.size() > kFoldColumn) {
      buffer += "\r\n    ";
      line = piece.size() + 4;
    } else {
      line += piece.size();
    }
    buffer += piece;
  }
  buffer += "\r\n";
}

void text_header_line(std::string& buffer, std::string_view name, const mail_envelope& envelope,
                      const mail_text& value) {
  if (!value) return;
  field_prefix(buffer, name, envelope);
  buffer += *value;
  buffer += "\r\n";
}

std::string header_write(const mail_envelope& envelope, const mail_body* body) {
  std::string buffer;
  if (envelope.resent_header) {
    std::string_view resent = *envelope.resent_header;
    // A header that ends in an empty line keeps one line break of it.
    if (resent.size() > 4 && resent[resent.size() - 4] == '\r') resent.remove_suffix(2);
    buffer += resent;
  }
  text_header_line(buffer, "Newsgroups", envelope, envelope.newsgroups);
  text_header_line(buffer, "Date", envelope, envelope.date);
  address_header_line(buffer, "From", envelope, envelope.from.get());
  address_header_line(buffer, "Sender", envelope, envelope.sender.get());
  address_header_line(buffer, "Reply-To", envelope, envelope.reply_to.get());
  text_header_line(buffer, "Subject", envelope, envelope.subject);
  address_header_line(buffer, "To", envelope, envelope.to.get());
  address_header_line(buffer, "cc", envelope, envelope.cc.get());
  text_header_line(buffer, "In-Reply-To", envelope, envelope.in_reply_to);
  text_header_line(buffer, "Message-ID", envelope, envelope.message_id);
  if (body && !envelope.resent_header) {
    buffer += "MIME-Version: 1.0\r\n";
    body_header_write(buffer, *body);
  }
  buffer += "\r\n";
  return buffer;
}
