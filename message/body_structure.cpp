#include "message/body_structure.h"

#include <vector>

#include "message/body_names.h"
#include "message/callbacks.h"
#include "message/content_header.h"
#include "message/envelope_parse.h"
#include "message/text_scan.h"
#include "platform/storage.h"

namespace {

struct part_span {
  std::uint32_t start;   // just after the delimiter line
  std::uint32_t length;  // up to the line end before the next delimiter line
};

// Finds the delimiter lines of a multipart text: "--" boundary at the start
// of a line, then a line end (a part follows) or "--" and a line end or the
// end of the text (the last part ended). CR LF, a lone CR and a lone LF are
// all line ends. Works chunk by chunk, so the text is never held whole.
class delimiter_scan {
 public:
  delimiter_scan(text_source& source, std::string_view boundary)
      : source_(source),
        delimiter_("--" + std::string(boundary)),
        boundary_size_(static_cast<std::uint32_t>(boundary.size())),
        end_(source.size) {}

  std::vector<part_span> run() {
    line_end_ = text_position(source_);  // no line end before the first line
    line_start(line_end_);
    while (!done_ && text_remaining(source_)) {
      std::string_view chunk = text_chunk(source_);
      if (chunk.empty()) {  // a source between chunks: take one byte
        const std::uint32_t position = text_position(source_);
        const char c = text_next(source_);
        step(&c, 1, position);
        continue;
      }
      step(chunk.data(), chunk.size(), text_position(source_));
      if (!done_) text_skip(source_, static_cast<std::uint32_t>(chunk.size()));
    }
    if (!done_) {
      if (state_ == state::after_dashes) {
        last_delimiter();
      } else if (state_ == state::opening_cr) {
        opening(end_);
      }
    }
    if (open_ && !closed_) spans_.back().length = end_ - spans_.back().start;
    return std::move(spans_);
  }

 private:
  enum class state {
    middle,
    after_cr,
    matching,
    after_delimiter,
    opening_cr,
    after_dash,
    after_dashes
  };

  // Takes bytes from one chunk; base is the position of the first.
  void step(const char* bytes, std::size_t count, std::uint32_t base) {
    std::size_t i = 0;
    while (i < count && !done_) {
      const char c = bytes[i];
      const auto position = static_cast<std::uint32_t>(base + i);
      switch (state_) {
        case state::middle:
          i = static_cast<std::size_t>(line_end_find(bytes + i, bytes + count) - bytes);
          if (i == count) break;
          line_end_ = static_cast<std::uint32_t>(base + i);
          if (bytes[i++] == '\n') {
            line_start(line_end_ + 1);
          } else {
            state_ = state::after_cr;
          }
          break;
        case state::after_cr:
          if (c == '\n') {
            ++i;
            line_start(position + 1);
          } else {
            line_start(position);
          }
          break;
        case state::matching:
          if (c != delimiter_[matched_]) {
            state_ = state::middle;
          } else {
            ++i;
            if (++matched_ == delimiter_.size()) state_ = state::after_delimiter;
          }
          break;
        case state::after_delimiter:
          if (c == '\n' || c == '\r') {
            ++i;
            delimiter_line_end_ = position;
            if (c == '\n') {
              opening(position + 1);
            } else {
              state_ = state::opening_cr;
            }
          } else if (c == '-') {
            ++i;
            state_ = state::after_dash;
          } else {
            state_ = state::middle;
          }
          break;
        case state::opening_cr:
          if (c == '\n') {
            ++i;
            opening(position + 1);
          } else {
            opening(position);
          }
          break;
        case state::after_dash:
          if (c == '-') {
            ++i;
            state_ = state::after_dashes;
          } else {
            state_ = state::middle;
          }
          break;
        case state::after_dashes:
          if (c == '\n' || c == '\r') {
            last_delimiter();
          } else {
            state_ = state::middle;
          }
          break;
      }
    }
  }

  // A line begins at position; delimiters are looked for only here, and only
  // while the text left is longer than the boundary.
  void line_start(std::uint32_t position) {
    if (end_ - position <= boundary_size_) {
      done_ = true;
      return;
    }
    line_before_ = line_end_;
    matched_ = 0;
    state_ = state::matching;
  }

  void end_open_part() {
    if (!open_) return;
    part_span& part = spans_.back();
    part.length = line_before_ > part.start ? line_before_ - part.start : 0;
  }

  void opening(std::uint32_t part_start) {
    end_open_part();
    spans_.push_back({part_start, 0});
    open_ = true;
    line_end_ = delimiter_line_end_;
    line_start(part_start);
  }

  void last_delimiter() {
    end_open_part();
    closed_ = true;
    done_ = true;
  }

  text_source& source_;
  const std::string delimiter_;
  const std::uint32_t boundary_size_;
  const std::uint32_t end_;
  std::vector<part_span> spans_;
  state state_ = state::matching;
  std::size_t matched_ = 0;
  std::uint32_t line_end_ = 0;            // where the last line end began
  std::uint32_t line_before_ = 0;         // the line end before the current line
  std::uint32_t delimiter_line_end_ = 0;  // the line end of the last opening delimiter
  bool open_ = false;
  bool closed_ = false;
  bool done_ = false;
};

// Reads the header lines of a part, unfolded as in a letter's header but with
// CR LF as one line end, and applies its Content- fields to the body. Leaves
// the source at the part's content, after the empty line.
void part_header_parse(mail_body& body, text_source& source) {
  text_reader reader(source);
  std::string line;
  while (!reader.done()) {
    const int first = reader.peek();
    if (first == '\r' || first == '\n') {
      if (reader.get() == '\r' && reader.peek() == '\n') reader.get();
      break;
    }
    header_line_read(reader, line, true);
    const std::size_t colon = line.find(':');
    if (colon == std::string::npos) continue;
    std::string name = line.substr(0, std::min(colon, line.find(' ')));
    text_upper(name);
    if (!name.starts_with("CONTENT-")) continue;
    std::string_view value = std::string_view(line).substr(colon + 1);
    while (!value.empty() && value.front() == ' ')
      value.remove_prefix(1);
    content_header_parse(body, std::string_view(name).substr(8), value);
  }
  reader.settle();
}

bool encoded_for_transport(const mail_body& body) {
  return body.encoding == ENCODING_BASE64 || body.encoding == ENCODING_QUOTED_PRINTABLE ||
         body.encoding == ENCODING_OTHER;
}

bool nesting_allowed(int depth) {
  if (depth < body_nesting_limit) return true;
  mail_log(LOG_PARSE, "Nesting too deep: contents left unsplit");
  return false;
}

void multipart_parse(mail_body& body, text_source& source, const std::string& default_host,
                     int depth) {
  if (encoded_for_transport(body)) {
    mail_log(LOG_PARSE, "Nested encoding of multipart contents");
    return;
  }
  if (!nesting_allowed(depth)) return;
  std::string boundary = "-";
  for (const mail_parameter* parameter = body.parameter_list.get(); parameter;
       parameter = parameter->next.get()) {
    if (parameter->attribute == "BOUNDARY") {
      boundary = parameter->value.value_or("");
      break;
    }
  }
  const std::uint32_t end = source.size;
  std::unique_ptr<mail_body_part>* place = &body.contents.part;
  for (const part_span& span : delimiter_scan(source, boundary).run()) {
    auto part = mail_new_body_part();
    part->body.bytes = span.length;
    text_setpos(source, span.start);
    source.size = span.start + span.length;
    part_header_parse(part->body, source);
    part->offset = text_position(source);
    body_content_parse(part->body, source, default_host, depth + 1);
    source.size = end;
    *place = std::move(part);
    place = &(*place)->next;
  }
}

void message_parse(mail_body& body, text_source& source, const std::string& default_host, int depth,
                   std::uint32_t start) {
  body.contents.message.offset = start;
  if (body.subtype == "RFC822") {
    if (encoded_for_transport(body)) {
      mail_log(LOG_PARSE, "Nested encoding of message contents");
      return;
    }
    if (nesting_allowed(depth)) {
      std::string header = message_header_read(source);
      body.contents.message.offset = text_position(source);
      envelope_parse(body.contents.message.envelope, &body.contents.message.body, header, &source,
                     default_host, depth + 1);
      text_setpos(source, start);
    }
  }
  body.lines = text_count_line_feeds(source);
}

}  // namespace

void body_content_parse(mail_body& body, text_source& source, const std::string& default_host,
                        int depth) {
  const std::uint32_t start = text_position(source);
  body.bytes = body.bytes_raw = text_remaining(source);
  switch (body.type) {
    case TYPE_TEXT:
      if (!body.subtype) body.subtype = "PLAIN";
      if (!body.parameter_list) {
        body.parameter_list = mail_new_body_parameter();
        body.parameter_list->attribute = "CHARSET";
        body.parameter_list->value = "US-ASCII";
      }
      body.lines = text_count_line_feeds(source);
      break;
    case TYPE_MULTIPART:
      multipart_parse(body, source, default_host, depth);
      break;
    case TYPE_MESSAGE:
      message_parse(body, source, default_host, depth, start);
      break;
    default:
      break;
  }
}
