#include "mail/tenex_family.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <vector>

#include "mail/cache.h"
#include "mail/dates.h"
#include "mail/flag_list.h"
#include "mail/internal_header.h"
#include "message/callbacks.h"
#include "message/text_scan.h"

namespace {

constexpr std::size_t kHeaderRead = 64;  // an internal header line fits in this

// The line of a view up to its end: LF (Tenexdos) or the first CR, which
// must be followed by LF (Dawz). The length with the line end, or nothing.
std::optional<std::size_t> line_with_end(std::string_view bytes, std::uint32_t line_end_length) {
  if (line_end_length == 1) {
    std::size_t line_feed = bytes.find('\n');
    if (line_feed == std::string_view::npos) return std::nullopt;
    return line_feed + 1;
  }
  std::size_t carriage_return = bytes.find('\r');
  if (carriage_return == std::string_view::npos || carriage_return + 1 >= bytes.size() ||
      bytes[carriage_return + 1] != '\n') {
    return std::nullopt;
  }
  return carriage_return + 2;
}

bool parse_failed(mail_stream* stream) {
  local_abort(stream);
  return false;
}

// Calls take with each piece of the source from its position to its end.
template <typename Take>
bool source_pieces(text_source& source, Take take) {
  while (text_remaining(source)) {
    std::string_view chunk = text_chunk(source);
    if (chunk.empty()) {  // a source between chunks: take one byte
      char c = text_next(source);
      if (!take(std::string_view(&c, 1))) return false;
      continue;
    }
    if (!take(chunk)) return false;
    text_skip(source, static_cast<std::uint32_t>(chunk.size()));
  }
  return true;
}

// Moves [start, end) of the file down by gap bytes, a piece at a time.
bool move_down(local_file& file, std::uint64_t start, std::uint64_t end, std::uint64_t gap) {
  constexpr std::size_t kPiece = 1 << 16;
  std::vector<char> piece;
  for (std::uint64_t position = start; position < end;) {
    std::size_t count = static_cast<std::size_t>(std::min<std::uint64_t>(end - position, kPiece));
    piece.resize(count);
    if (!local_read(file, position, count, piece.data())) {
      if (!errno) errno = EIO;
      return false;
    }
    if (!local_write_at(file, position - gap, std::string_view(piece.data(), count))) return false;
    position += count;
  }
  return true;
}

}  // namespace

bool tenex_recognises(int fd, std::uint32_t line_end_length) {
  char bytes[kHeaderRead];
  ssize_t n = ::pread(fd, bytes, sizeof bytes, 0);
  if (n <= 0) return false;
  std::string_view head(bytes, static_cast<std::size_t>(n));
  std::size_t line_feed = head.find('\n');
  if (line_feed == std::string_view::npos) return false;
  bool crlf = line_feed > 0 && head[line_feed - 1] == '\r';
  if (crlf != (line_end_length == 2)) return false;
  return internal_header_shape(head.substr(0, line_feed + 1 - line_end_length));
}

bool tenex_parse(mail_stream* stream) {
  local_file* file = local_file_of(stream);
  if (!file) return false;
  const local_format& format = *file->format;
  std::optional<std::uint64_t> size = local_file_size(file->fd.get());
  if (!size) {
    mail_log(LOG_ERROR, "Unable to read mailbox: %s", local_error_text(errno).c_str());
    return parse_failed(stream);
  }
  if (*size > kLocalFileLimit) {
    mail_log(LOG_ERROR, "Mailbox is too large to read: %llu bytes",
             static_cast<unsigned long long>(*size));
    return parse_failed(stream);
  }
  if (*size < file->parsed_size) {
    mail_log(LOG_ERROR, "Mailbox shrank from %ld to %ld!", static_cast<long>(file->parsed_size),
             static_cast<long>(*size));
    return parse_failed(stream);
  }
  std::uint64_t position = file->parsed_size;
  std::uint32_t count = stream->nmsgs;
  while (position < *size) {
    long at = static_cast<long>(position);
    errno = 0;
    std::size_t wanted =
        static_cast<std::size_t>(std::min<std::uint64_t>(*size - position, kHeaderRead));
    std::string_view bytes = local_view(*file, position, wanted, wanted);
    if (bytes.empty()) {
      mail_log(LOG_ERROR, "Unable to read internal header at %ld, size = %ld: %s", at,
               static_cast<long>(*size), local_error_text(errno).c_str());
      return parse_failed(stream);
    }
    std::string shown(bytes);
    std::optional<std::size_t> line_length = line_with_end(bytes, format.line_end_length);
    if (!line_length) {
      mail_log(LOG_ERROR, "Unable to find end of line at %ld in %ld bytes, text: %s", at,
               static_cast<long>(bytes.size()), shown.c_str());
      return parse_failed(stream);
    }
    std::string line(bytes.substr(0, *line_length - format.line_end_length));
    std::optional<internal_header_fields> fields = internal_header_split(line);
    if (!fields) {
      mail_log(LOG_ERROR, "Unable to parse internal header at %ld: %s", at, line.c_str());
      return parse_failed(stream);
    }
    mail_element& element = *mail_elt(stream, ++count);
    element.parsed = 1;
    local_element_place(element, position, static_cast<std::uint32_t>(*line_length));
    std::optional<std::uint32_t> length = internal_header_length(fields->length);
    std::optional<internal_header_flags> flags = internal_header_flags_read(fields->flags);
    if (!mail_parse_date(element, fields->date) || !length || !flags) {
      std::string date(fields->date), length_text(fields->length), flag_text(fields->flags);
      mail_log(LOG_ERROR, "Unable to parse internal header elements at %ld: %s,%s;%s", at,
               date.c_str(), length_text.c_str(), flag_text.c_str());
      return parse_failed(stream);
    }
    position += *line_length + *length;
    if (position > *size) {
      mail_log(LOG_ERROR, "Last message runs past end of file");
      return parse_failed(stream);
    }
    local_flags_apply(element, flags->system_flags, true);
    element.user_flags = flags->user_flags;
    if (!format.crlf_delivery) element.rfc822_size = *length;
  }
  file->parsed_size = static_cast<std::uint32_t>(*size);
  mail_note_exists(stream, count);
  mail_note_recent(stream, stream->recent);
  return true;
}

void tenex_expunge(mail_stream* stream) {
  local_file* file = local_file_of(stream);
  if (!file) return;
  if (stream->readonly) {
    mail_log(LOG_WARNING, "Expunge ignored on readonly mailbox");
    return;
  }
  // Under the lock, letters another program appended since the last look are
  // read first, so that the rewrite keeps them.
  local_lock lock(file->fd.get());
  if (!lock.held() || !tenex_parse(stream)) return;
  mail_callback().on_critical_begin(stream);
  std::uint64_t gap = 0;
  long removed = 0;
  std::uint32_t recent = stream->recent;
  bool moved = true;
  for (std::uint32_t i = 1; moved && i <= stream->nmsgs;) {
    mail_element& element = *mail_elt(stream, i);
    std::uint64_t start = element.data1;
    std::uint64_t end = i < stream->nmsgs ? mail_elt(stream, i + 1)->data1 : file->parsed_size;
    if (element.deleted) {
      gap += end - start;
      if (element.recent && recent) --recent;
      mail_note_expunged(stream, i);
      ++removed;
      continue;
    }
    if (gap) {
      moved = move_down(*file, start, end, gap);
      element.data1 = static_cast<std::uint32_t>(start - gap);
    }
    ++i;
  }
  if (!moved) {
    // The file is now part moved; stop before anything else is written to it.
    mail_log(LOG_ERROR, "Unable to move message: %s", local_error_text(errno).c_str());
    mail_callback().on_critical_end(stream);
    local_abort(stream);
    return;
  }
  if (removed) {
    file->parsed_size -= static_cast<std::uint32_t>(gap);
    file->window_length = 0;
    if (::ftruncate(file->fd.get(), static_cast<off_t>(file->parsed_size)) != 0) {
      mail_log(LOG_ERROR, "Unable to truncate mailbox: %s", local_error_text(errno).c_str());
    }
    mail_log(LOG_INFO, "Expunged %ld messages", removed);
  } else {
    mail_log(LOG_INFO, "No messages deleted, so no update needed");
  }
  mail_callback().on_critical_end(stream);
  mail_note_exists(stream, stream->nmsgs);
  mail_note_recent(stream, recent);
}

bool tenex_append(const local_format& format, mail_stream* stream, std::string_view mailbox,
                  std::optional<std::string_view> flags, std::optional<std::string_view> date,
                  text_source& message) {
  unsigned system_flags = flags ? flag_list_parse(*flags) : 0;
  std::string date_text;
  if (date) {
    mail_element parsed;
    if (!mail_parse_date(parsed, *date)) {
      mail_log(LOG_ERROR, "Bad date in append");
      return false;
    }
    date_text = mail_date(parsed);
  } else {
    date_text = internal_date_now();
  }
  bool drop_cr = format.crlf_delivery;
  std::uint32_t start = text_position(message);
  std::uint64_t length = 0;
  source_pieces(message, [&](std::string_view piece) {
    length += drop_cr ? piece.size() - std::count(piece.begin(), piece.end(), '\r') : piece.size();
    return true;
  });
  text_setpos(message, start);
  if (length == 0) {
    mail_log(LOG_ERROR, "Can't append an empty message");
    return false;
  }
  if (!local_destination_ok(format, stream, mailbox, format.line_end_length == 2)) return false;
  local_appender out;
  if (!out.open(*local_host_file(mailbox))) {
    mail_log(LOG_ERROR, "Can't open append mailbox: %s", local_error_text(errno).c_str());
    return false;
  }
  mail_callback().on_critical_begin(stream);
  std::string_view line_end = format.line_end_length == 2 ? "\r\n" : "\n";
  bool header_written = out.write(internal_header_line(date_text, length, system_flags, line_end));
  std::string kept;
  bool written = header_written && source_pieces(message, [&](std::string_view piece) {
                   if (!drop_cr) return out.write(piece);
                   kept.clear();
                   std::copy_if(piece.begin(), piece.end(), std::back_inserter(kept),
                                [](char c) { return c != '\r'; });
                   return out.write(kept);
                 });
  written = written && out.flush();
  if (!header_written) {
    mail_log(LOG_ERROR, "Header write failed: %s", local_error_text(errno).c_str());
  } else if (!written) {
    mail_log(LOG_ERROR, "Message append failed: %s", local_error_text(errno).c_str());
  }
  if (!written) out.roll_back();
  mail_callback().on_critical_end(stream);
  return written;
}
