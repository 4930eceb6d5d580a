#include "message/envelope_parse.h"

#include <cstring>

#include "message/address_parse.h"
#include "message/body_structure.h"
#include "message/callbacks.h"
#include "message/content_header.h"
#include "message/text_scan.h"
#include "platform/storage.h"

namespace {

// Where "\nMIME-Version" (any case) last occurs in the header, found once, so
// that a Content- field can ask whether a MIME-Version line follows it.
class mime_version_search {
 public:
  explicit mime_version_search(std::string_view header) : header_(header) {}
  bool follows(std::size_t position) {
    if (!searched_) {
      searched_ = true;
      static constexpr std::string_view kKey = "\nmime-version";
      for (std::size_t at = header_.size(); at >= kKey.size(); --at) {
        std::size_t start = at - kKey.size();
        if (header_[start] == '\n' &&
            equal_ignoring_case(header_.substr(start, kKey.size()), kKey)) {
          last_ = start;
          found_ = true;
          break;
        }
      }
    }
    return found_ && last_ >= position;
  }

 private:
  static bool equal_ignoring_case(std::string_view text, std::string_view lower) {
    for (std::size_t i = 0; i < text.size(); ++i) {
      char c = text[i];
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
      if (c != lower[i]) return false;
    }
    return true;
  }

  std::string_view header_;
  bool searched_ = false;
  bool found_ = false;
  std::size_t last_ = 0;
};

void text_field_set(mail_text& field, std::string_view value) {
  if (!field) field = std::string(value);
}

bool mime_version_known(std::string_view value) {
  std::string buffer(value);
  char* text = buffer.data();
  if (char* end = phrase_end(text)) *end = '\0';
  skip_white(text);
  return std::strcmp(text, "1.0") == 0 || std::strcmp(text, "RFC-XXXX") == 0;
}

struct header_context {
  mail_envelope& envelope;
  mail_body* body;
  const std::string& default_host;
  mime_version_search& mime_search;
  bool mime = false;
};

void field_apply(header_context& context, std::string_view name, std::string_view value,
                 std::size_t line_end) {
  mail_envelope& envelope = context.envelope;
  const std::string& host = context.default_host;
  switch (name.empty() ? '\0' : name[0]) {
    case '>':
      if (name == ">FROM") address_list_parse(envelope.from, value, host);
      break;
    case 'B':
      if (name == "BCC") address_list_parse(envelope.bcc, value, host);
      break;
    case 'C':
      if (name == "CC") {
        address_list_parse(envelope.cc, value, host);
      } else if (name.starts_with("CONTENT-") && context.body &&
                 (context.mime || context.mime_search.follows(line_end))) {
        content_header_parse(*context.body, name.substr(8), value);
      }
      break;
    case 'D':
      if (name == "DATE") text_field_set(envelope.date, value);
      break;
    case 'F':
      if (name == "FROM") address_list_parse(envelope.from, value, host);
      break;
    case 'I':
      if (name == "IN-REPLY-TO") text_field_set(envelope.in_reply_to, value);
      break;
    case 'M':
      if (name == "MESSAGE-ID") {
        text_field_set(envelope.message_id, value);
      } else if (name == "MIME-VERSION") {
        if (!mime_version_known(value))
          mail_log(LOG_PARSE, "Warning: message has unknown MIME version");
        context.mime = true;
      }
      break;
    case 'N':
      if (name == "NEWSGROUPS" && !envelope.newsgroups) {
        std::string groups;
        for (char c : value)
          if (c != ' ' && c != '\t') groups += c;
        envelope.newsgroups = std::move(groups);
      }
      break;
    case 'R':
      if (name == "REPLY-TO") address_list_parse(envelope.reply_to, value, host);
      break;
    case 'S':
      if (name == "SENDER") {
        address_list_parse(envelope.sender, value, host);
      } else if (name == "SUBJECT") {
        text_field_set(envelope.subject, value);
      }
      break;
    case 'T':
      if (name == "TO") address_list_parse(envelope.to, value, host);
      break;
    default:
      break;
  }
}

}  // namespace

void envelope_parse(std::unique_ptr<mail_envelope>& envelope, std::unique_ptr<mail_body>* body,
                    std::string_view header, text_source* source, const std::string& default_host,
                    int depth) {
  envelope = mail_new_envelope();
  if (body) *body = mail_new_body();
  mime_version_search mime_search(header);
  header_context context{*envelope, body ? body->get() : nullptr, default_host, mime_search};
  memory_reader reader(header);
  std::string line;
  while (!reader.done() && reader.peek() != '\n') {
    // The line ends with the line feed before this position (or the end).
    const std::uint32_t line_end = header_line_read(reader, line, false) - 1;
    const std::size_t colon = line.find(':');
    if (colon == std::string::npos) continue;
    std::string name = line.substr(0, colon);
    while (!name.empty() && name.back() == ' ')
      name.pop_back();
    text_upper(name);
    std::string_view value = std::string_view(line).substr(colon + 1);
    while (!value.empty() && value.front() == ' ')
      value.remove_prefix(1);
    field_apply(context, name, value, line_end);
  }
  if (!envelope->sender) envelope->sender = address_list_copy(envelope->from.get());
  if (!envelope->reply_to) envelope->reply_to = address_list_copy(envelope->from.get());
  if (body && source) body_content_parse(**body, *source, default_host, depth);
}

parsed_letter letter_parse(text_source& source, const std::string& default_host) {
  parsed_letter letter;
  const std::string header = message_header_read(source);
  letter.body_offset = text_position(source);
  envelope_parse(letter.envelope, &letter.body, header, &source, default_host);
  return letter;
}

std::string message_header_read(text_source& source) {
  std::string header;
  bool after_line_feed = false;  // the last byte that was no carriage return was a line feed
  while (text_remaining(source)) {
    std::string_view chunk = text_chunk(source);
    if (chunk.empty()) {  // a source between chunks: take one byte
      const char c = text_next(source);
      header += c;
      if (c == '\r') continue;
      if (c == '\n' && after_line_feed) break;
      after_line_feed = c == '\n';
      continue;
    }
    const char* const end = chunk.data() + chunk.size();
    const char* at = chunk.data();
    const char* header_end = nullptr;
    while (!header_end && at < end) {
      if (after_line_feed) {  // carriage returns between two line feeds do not count
        while (at < end && *at == '\r')
          ++at;
        if (at == end) break;
        if (*at == '\n') {
          header_end = at + 1;
          break;
        }
      }
      const char* line_feed = static_cast<const char*>(std::memchr(at, '\n', end - at));
      if (!line_feed) {
        // The chunk ends inside a line: only trailing carriage returns may
        // still belong to a line end.
        const char* last = end;
        while (last != at && last[-1] == '\r')
          --last;
        after_line_feed = after_line_feed && last == at;
        at = end;
        break;
      }
      at = line_feed + 1;
      after_line_feed = true;
    }
    const std::size_t taken =
        static_cast<std::size_t>((header_end ? header_end : at) - chunk.data());
    header.append(chunk.data(), taken);
    text_skip(source, static_cast<std::uint32_t>(taken));
    if (header_end) break;
  }
  return header;
}
