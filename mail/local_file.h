#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "mail/stream.h"
#include "message/text_source.h"
#include "platform/unique_fd.h"

struct local_format;

// The open file of a local mailbox (the driver-local data of its stream).
struct local_file : mail_local {
  const local_format* format = nullptr;
  unique_fd fd;
  std::uint32_t parsed_size = 0;  // bytes read into messages so far

  // Reads are served from a window of the file, so that walking a mailbox
  // costs few system calls; writes through the stream empty it.
  std::vector<char> window;
  std::uint64_t window_start = 0;
  std::size_t window_length = 0;

  // The chunk of the stream's file text sources.
  std::array<char, 4096> chunk{};
};

// The local file of an open stream; null once the file has been closed.
local_file* local_file_of(mail_stream* stream);

// Files are addressed by 32-bit offsets; a larger mailbox is refused.
constexpr std::uint64_t kLocalFileLimit = UINT32_MAX;

// The host path of a mailbox name, or nothing when the name is not acceptable.
std::optional<std::string> local_host_file(std::string_view name);

// What a mailbox name's file is to one format.
enum class local_kind { format, empty, missing, invalid_name, other };
local_kind local_file_check(const local_format& format, std::string_view name);

// The size of the open file; nothing (errno set) when it cannot be had.
std::optional<std::uint64_t> local_file_size(int fd);

// Up to max_count bytes at the position from the window, which is refilled
// from the position when it holds fewer than min_count of them: valid until
// the next read. Empty at the end of the file or on a read error (errno set).
std::string_view local_view(local_file& file, std::uint64_t position, std::size_t max_count,
                            std::size_t min_count = 1);

// Exactly count bytes at the position into out; false on a short read.
bool local_read(local_file& file, std::uint64_t position, std::size_t count, char* out);

// Writes every byte at the position; false (errno set) when that fails.
bool local_write_at(local_file& file, std::uint64_t position, std::string_view bytes);

// A stream whose file proved inconsistent: the file is closed, the local data
// dropped and the driver unbound.
void local_abort(mail_stream* stream);

// A text_source over length bytes of the stream's file from start; the
// stream's chunk is its buffer.
void local_source_init(text_source& source, local_file& file, std::uint64_t start,
                       std::uint32_t length);

// The system's text for an error number.
std::string local_error_text(int error);

// An advisory lock (flock) on an open mailbox file while it lives, so that
// two programs never rewrite or append to one file at the same time. Waits
// up to 10 seconds for another program to let go; held() is false, after a
// report, when it did not.
class local_lock {
 public:
  explicit local_lock(int fd);
  ~local_lock();
  local_lock(const local_lock&) = delete;
  local_lock& operator=(const local_lock&) = delete;
  bool held() const { return held_; }

 private:
  int fd_;
  bool held_ = false;
};

// Takes the lock of local_lock for as long as the descriptor stays open.
bool local_file_lock(int fd);

// Writes appended to a mailbox file. The file's size is taken when it is
// opened, so that a write that fails part-way can be undone by cutting the
// file back to it; nothing may pass kLocalFileLimit.
class local_appender {
 public:
  // Opens (creating it owner read and write when missing) for appending and
  // locks it (local_file_lock) until it is closed; false (errno set, or the
  // lock reported) on failure.
  bool open(const std::string& path);
  std::uint64_t size_before() const { return size_before_; }
  // Whether the next byte written starts a line: the file is empty or ends in LF.
  bool at_line_start() const {
    return last_ == '\n' || size_before_ + written_ + buffer_.size() == 0;
  }
  // Buffered; false (errno set) when a write fails.
  bool write(std::string_view bytes);
  bool flush();
  // Cuts the file back to its size before the first write.
  void roll_back();

 private:
  unique_fd fd_;
  std::uint64_t size_before_ = 0;
  std::uint64_t written_ = 0;
  char last_ = 0;
  std::string buffer_;
};
