// The "bezrkdos" driver: messages each after a "From " separator line, read
// only; new messages are appended with Status lines for their flags.

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>

#include "mail/cache.h"
#include "mail/dates.h"
#include "mail/flag_list.h"
#include "mail/local_drivers.h"
#include "mail/local_format.h"
#include "mail/separator_line.h"
#include "message/callbacks.h"
#include "message/text_scan.h"

namespace {

constexpr std::size_t kWindow = 1 << 16;

// The line of a view without its line end (LF or CR LF).
std::string_view line_text(std::string_view line) {
  if (line.ends_with('\n')) line.remove_suffix(1);
  if (line.ends_with('\r')) line.remove_suffix(1);
  return line;
}

bool recognises(int fd) {
  char bytes[kSeparatorLimit + 2];
  ssize_t n = ::pread(fd, bytes, sizeof bytes, 0);
  if (n <= 0) return false;
  std::string_view head(bytes, static_cast<std::size_t>(n));
  return separator_line_valid(line_text(head.substr(0, head.find('\n'))));
}

bool starts_with_ignoring_case(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    char c = text[i];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c != prefix[i]) return false;
  }
  return true;
}

// The flags other programs keep in "Status:" (R seen) and "X-Status:" (D
// deleted, F flagged, A answered) header lines.
void status_read(mail_element& element, std::string_view line) {
  bool extended = starts_with_ignoring_case(line, "X-STATUS:");
  if (!extended && !starts_with_ignoring_case(line, "STATUS:")) return;
  for (char c : line.substr(line.find(':') + 1)) {
    if (!extended && c == 'R') element.seen = 1;
    if (extended && c == 'D') element.deleted = 1;
    if (extended && c == 'F') element.flagged = 1;
    if (extended && c == 'A') element.answered = 1;
  }
}

bool parse_failed(mail_stream* stream, const char* text) {
  mail_log(LOG_ERROR, "%s", text);
  local_abort(stream);
  return false;
}

// The length of a line too long for one view: up to its LF or the end.
std::uint64_t long_line_length(local_file& file, std::uint64_t start, std::uint64_t size,
                               char& last_before_end) {
  std::uint64_t position = start;
  while (position < size) {
    std::string_view bytes =
        local_view(file, position,
                   static_cast<std::size_t>(std::min<std::uint64_t>(size - position, kWindow)));
    if (bytes.empty()) break;
    const void* line_feed = std::memchr(bytes.data(), '\n', bytes.size());
    if (line_feed) {
      std::size_t at = static_cast<std::size_t>(static_cast<const char*>(line_feed) - bytes.data());
      last_before_end = at ? bytes[at - 1] : last_before_end;
      return position + at + 1 - start;
    }
    last_before_end = bytes.back();
    position += bytes.size();
  }
  return position - start;
}

bool bezrkdos_parse(mail_stream* stream) {
  local_file* file = local_file_of(stream);
  if (!file) return false;
  std::optional<std::uint64_t> size = local_file_size(file->fd.get());
  if (!size || *size > kLocalFileLimit) {
    return parse_failed(stream, size ? "Mailbox is too large to read" : "Unable to read mailbox");
  }
  if (*size < file->parsed_size) return parse_failed(stream, "Mailbox shrank!");
  std::uint64_t position = file->parsed_size;
  std::uint32_t count = stream->nmsgs;
  mail_element* message = nullptr;
  bool in_header = false;
  while (position < *size) {
    std::size_t rest = static_cast<std::size_t>(std::min<std::uint64_t>(*size - position, kWindow));
    std::string_view bytes = local_view(*file, position, rest);
    if (bytes.empty()) return parse_failed(stream, "Unable to read mailbox");
    std::size_t line_feed = bytes.find('\n');
    if (line_feed == std::string_view::npos && bytes.size() < rest) {
      // The line runs past the window: read on from its start.
      bytes = local_view(*file, position, rest, rest);
      line_feed = bytes.find('\n');
    }
    std::uint64_t length;
    bool bare_line_feed;
    std::string_view line;
    if (line_feed != std::string_view::npos || bytes.size() == *size - position) {
      line = bytes.substr(0, line_feed == std::string_view::npos ? bytes.size() : line_feed + 1);
      length = line.size();
      bare_line_feed = line.ends_with('\n') && !line.ends_with("\r\n");
    } else {
      char before = 0;
      length = long_line_length(*file, position, *size, before);
      bare_line_feed = before != '\r';
    }
    std::string_view text = line_text(line);
    std::optional<separator_date> date;
    if (text.starts_with("From ")) date = separator_line_parse(text);
    if (date) {
      message = mail_elt(stream, ++count);
      message->parsed = 1;
      message->rfc822_size = 0;
      local_element_place(*message, position, static_cast<std::uint32_t>(length));
      std::string internal = separator_internal_date(*date);
      if (!mail_parse_date(*message, internal)) {
        mail_log(LOG_WARNING, "Unparsable date: %s", internal.c_str());
      }
      in_header = true;
    } else if (!message) {
      return parse_failed(stream, "Mailbox format invalidated (consult an expert), aborted");
    } else {
      message->rfc822_size += static_cast<std::uint32_t>(length) + (bare_line_feed ? 1 : 0);
      if (in_header) {
        if (text.empty() && line.ends_with('\n')) {
          in_header = false;
        } else {
          status_read(*message, text);
        }
      }
    }
    position += length;
  }
  file->parsed_size = static_cast<std::uint32_t>(*size);
  mail_note_exists(stream, count);
  mail_note_recent(stream, stream->recent);
  return true;
}

const local_format kBezrkdos = {&bezrkdos_driver, "Bezrkdos",    true, false, 0, true,
                                recognises,       bezrkdos_parse};

mail_stream bezrkdos_prototype = mail_prototype_stream(&bezrkdos_driver);

mail_driver* bezrkdos_valid(std::string_view name) {
  return local_file_check(kBezrkdos, name) == local_kind::format ? &bezrkdos_driver : nullptr;
}

// Whatever the options say, the file is only read.
mail_stream* bezrkdos_open(mail_stream* stream) {
  if (!stream) return &bezrkdos_prototype;
  stream->readonly = true;
  return local_open(kBezrkdos, stream, false);
}

void bezrkdos_expunge(mail_stream* stream) {
  if (local_file_of(stream)) mail_log(LOG_WARNING, "Expunge ignored on readonly mailbox");
}

// "Thu Dec  5 11:53:20 1996\n" for the date given, or for now.
std::optional<std::string> separator_date_text(std::optional<std::string_view> date) {
  if (date) {
    mail_element parsed;
    if (!mail_parse_date(parsed, *date)) return std::nullopt;
    return mail_ctime_date(parsed);
  }
  std::time_t now = std::time(nullptr);
  char buffer[64];
  return std::string(ctime_r(&now, buffer));
}

// Writes the message without CR bytes, a ">" before every line of it that
// would read as a separator line.
bool message_write(text_source& message, local_appender& out) {
  std::string line;
  auto line_write = [&out, &line]() {
    std::string_view text = line_text(line);
    if (text.starts_with("From ") && separator_line_valid(text) && !out.write(">")) return false;
    bool ok = out.write(line);
    line.clear();
    return ok;
  };
  while (text_remaining(message)) {
    std::string_view chunk = text_chunk(message);
    if (chunk.empty()) {  // a source between chunks: take one byte
      char c = text_next(message);
      if (c == '\r') continue;
      line += c;
      if (c == '\n' && !line_write()) return false;
      continue;
    }
    for (char c : chunk) {
      if (c == '\r') continue;
      line += c;
      if (c == '\n' && !line_write()) return false;
    }
    text_skip(message, static_cast<std::uint32_t>(chunk.size()));
  }
  return line.empty() || line_write();
}

bool bezrkdos_append(mail_stream* stream, std::string_view mailbox,
                     std::optional<std::string_view> flags, std::optional<std::string_view> date,
                     text_source& message) {
  unsigned system_flags = flags ? flag_list_parse(*flags) : 0;
  std::optional<std::string> date_text = separator_date_text(date);
  if (!date_text) {
    mail_log(LOG_ERROR, "Bad date in append");
    return false;
  }
  if (!local_destination_ok(kBezrkdos, stream, mailbox, false)) return false;
  local_appender out;
  if (!out.open(*local_host_file(mailbox))) {
    mail_log(LOG_ERROR, "Can't open append mailbox: %s", local_error_text(errno).c_str());
    return false;
  }
  mail_callback().on_critical_begin(stream);
  std::string head;
  // The separator line must start a line, or the message would join the one before.
  if (!out.at_line_start()) head += '\n';
  head += "From someone " + *date_text;
  head +=
      mail_format("Status: %sO\nX-Status: %s%s%s\n", system_flags & FLAG_SEEN ? "R" : "",
                  system_flags & FLAG_DELETED ? "D" : "", system_flags & FLAG_FLAGGED ? "F" : "",
                  system_flags & FLAG_ANSWERED ? "A" : "");
  bool written = out.write(head) && message_write(message, out) && out.write("\n") && out.flush();
  if (!written) {
    mail_log(LOG_ERROR, "Message append failed: %s", local_error_text(errno).c_str());
    out.roll_back();
  }
  mail_callback().on_critical_end(stream);
  return written;
}

}  // namespace

mail_driver bezrkdos_driver = local_driver("bezrkdos", bezrkdos_valid, bezrkdos_open,
                                           local_fetch_nothing, bezrkdos_expunge, bezrkdos_append);
