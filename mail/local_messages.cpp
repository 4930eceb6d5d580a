// Where the messages of a local mailbox file lie, and how their texts are
// delivered: shared by the three formats.

#include <algorithm>
#include <cstring>

#include "mail/cache.h"
#include "mail/literal.h"
#include "mail/local_format.h"
#include "mail/parameters.h"

namespace {

constexpr std::uint32_t kHeaderLengthMask = 0xFFFFFF;
constexpr std::uint32_t kLongLine = 255;  // data2's line length when it does not fit
constexpr std::size_t kPiece = 1 << 16;

// Reads a stretch of the file for the literal reader, turning each bare LF
// into CR LF when asked.
struct delivery {
  local_file& file;
  std::uint64_t position;
  std::uint64_t end;
  bool crlf;
  char last = 0;               // the last byte taken from the file
  bool line_feed_due = false;  // a CR has been delivered for this LF
};

bool delivery_read(void* source, std::uint32_t size, char* out) {
  auto& state = *static_cast<delivery*>(source);
  std::uint32_t done = 0;
  while (done < size) {
    if (state.line_feed_due) {
      out[done++] = '\n';
      state.line_feed_due = false;
      continue;
    }
    std::size_t wanted = static_cast<std::size_t>(
        std::min<std::uint64_t>(state.end - state.position, state.crlf ? kPiece : size - done));
    std::string_view bytes =
        wanted ? local_view(state.file, state.position, wanted) : std::string_view();
    if (bytes.empty()) {
      // The file was cut short by another program; the rest reads as blanks.
      std::memset(out + done, ' ', size - done);
      return false;
    }
    if (!state.crlf) {
      std::size_t count = std::min<std::size_t>(bytes.size(), size - done);
      std::memcpy(out + done, bytes.data(), count);
      done += static_cast<std::uint32_t>(count);
      state.position += count;
      continue;
    }
    std::size_t i = 0;
    while (i < bytes.size() && done < size) {
      char c = bytes[i++];
      if (c == '\n' && state.last != '\r') {
        out[done++] = '\r';
        state.line_feed_due = true;
        state.last = c;
        break;
      }
      out[done++] = c;
      state.last = c;
    }
    state.position += i;
  }
  return true;
}

}  // namespace

void local_element_place(mail_element& element, std::uint64_t offset, std::uint32_t line_length) {
  element.data1 = static_cast<std::uint32_t>(offset);
  element.data2 = std::min(line_length, kLongLine) << 24;
}

std::uint32_t local_line_length(mail_stream* stream, const mail_element& element) {
  std::uint32_t length = element.data2 >> 24;
  local_file* file = local_file_of(stream);
  if (length < kLongLine || !file) return length;
  // A long separator line: find its end again.
  std::uint64_t position = element.data1;
  for (;;) {
    std::string_view bytes = local_view(*file, position, kPiece);
    if (bytes.empty()) break;
    const void* line_feed = std::memchr(bytes.data(), '\n', bytes.size());
    if (line_feed) {
      position += static_cast<const char*>(line_feed) - bytes.data() + 1;
      break;
    }
    position += bytes.size();
  }
  return static_cast<std::uint32_t>(position - element.data1);
}

local_range local_text_range(mail_stream* stream, std::uint32_t msgno) {
  local_file* file = local_file_of(stream);
  const mail_element& element = *mail_elt(stream, msgno);
  std::uint64_t start = std::uint64_t{element.data1} + local_line_length(stream, element);
  std::uint64_t end =
      msgno < stream->nmsgs ? mail_elt(stream, msgno + 1)->data1 : (file ? file->parsed_size : 0);
  return {start, static_cast<std::uint32_t>(end > start ? end - start : 0)};
}

std::uint32_t local_header_length(mail_stream* stream, std::uint32_t msgno) {
  mail_element& element = *mail_elt(stream, msgno);
  std::uint32_t known = element.data2 & kHeaderLengthMask;
  local_file* file = local_file_of(stream);
  if (known || !file) return known;
  local_range range = local_text_range(stream, msgno);
  // 0: inside a line; 1: at the start of one; 2: after a CR that starts one.
  int state = 1;  // an empty first line ends the header at once
  std::uint32_t length = range.length;
  std::uint32_t done = 0;
  bool found = false;
  while (done < range.length && !found) {
    std::string_view bytes = local_view(*file, range.start + done, range.length - done);
    if (bytes.empty()) break;
    std::size_t i = 0;
    while (i < bytes.size() && !found) {
      char c = bytes[i];
      if (state == 0) {
        const void* line_feed = std::memchr(bytes.data() + i, '\n', bytes.size() - i);
        i = line_feed
                ? static_cast<std::size_t>(static_cast<const char*>(line_feed) - bytes.data()) + 1
                : bytes.size();
        if (line_feed) state = 1;
      } else if (c == '\n') {
        found = true;
        ++i;
      } else {
        state = c == '\r' && state == 1 ? 2 : 0;
        if (state == 2) ++i;
      }
    }
    done += static_cast<std::uint32_t>(i);
  }
  if (found) length = done;
  if (length <= kHeaderLengthMask) element.data2 = (element.data2 & ~kHeaderLengthMask) | length;
  return length;
}

std::uint32_t local_count_bare_line_feeds(local_file& file, std::uint64_t start,
                                          std::uint32_t length) {
  std::uint32_t count = 0;
  char previous = 0;
  std::uint64_t position = start;
  std::uint64_t end = start + length;
  while (position < end) {
    std::string_view bytes = local_view(
        file, position, static_cast<std::size_t>(std::min<std::uint64_t>(end - position, kPiece)));
    if (bytes.empty()) break;
    const char* cursor = bytes.data();
    const char* stop = cursor + bytes.size();
    while (const void* found = std::memchr(cursor, '\n', static_cast<std::size_t>(stop - cursor))) {
      const char* line_feed = static_cast<const char*>(found);
      char before = line_feed == bytes.data() ? previous : line_feed[-1];
      if (before != '\r') ++count;
      cursor = line_feed + 1;
    }
    previous = bytes.back();
    position += bytes.size();
  }
  return count;
}

std::uint32_t local_rfc822_size(mail_stream* stream, std::uint32_t msgno) {
  mail_element& element = *mail_elt(stream, msgno);
  local_file* file = local_file_of(stream);
  if (element.rfc822_size || !file) return element.rfc822_size;
  local_range range = local_text_range(stream, msgno);
  std::uint64_t size = range.length;
  if (file->format->crlf_delivery) {
    size += local_count_bare_line_feeds(*file, range.start, range.length);
  }
  element.rfc822_size = static_cast<std::uint32_t>(std::min<std::uint64_t>(size, UINT32_MAX));
  return element.rfc822_size;
}

std::string_view local_text_deliver(mail_stream* stream, std::uint64_t start,
                                    std::uint32_t length) {
  local_file* file = local_file_of(stream);
  if (!file) return {};
  bool crlf = file->format->crlf_delivery;
  std::uint64_t size = length;
  if (crlf) size += local_count_bare_line_feeds(*file, start, length);
  if (size > UINT32_MAX) size = UINT32_MAX;
  auto reader =
      reinterpret_cast<mail_literal_reader>(mail_parameters(nullptr, GET_LITERAL_READER, nullptr));
  if (!reader) reader = mail_read_literal;
  delivery state{*file, start, start + length, crlf};
  stream->text = reader(delivery_read, &state, static_cast<std::uint32_t>(size));
  return *stream->text;
}
