#include "mail/local_file.h"

#include <sys/file.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "mail/local_format.h"
#include "mail/mailbox_file.h"
#include "message/callbacks.h"
#include "platform/file_names.h"

namespace {

constexpr std::size_t kWindowSize = 1 << 16;

// The file source: the text is read a chunk at a time from the file.
void file_source_setpos(text_source& source, std::uint32_t position) {
  auto& file = *static_cast<local_file*>(const_cast<void*>(source.data));
  source.offset = position;
  source.chunk = source.current = file.chunk.data();
  source.left = 0;
  if (position >= source.size) return;
  std::uint32_t count = std::min<std::uint32_t>(source.chunk_size, source.size - position);
  // A file cut short by another program reads as zero bytes, so that
  // readers still come to the end of the text.
  if (!local_read(file, source.data1 + std::uint64_t{position}, count, file.chunk.data())) {
    std::memset(file.chunk.data(), 0, count);
  }
  source.left = count;
}

void file_source_init(text_source& source, const void* data, std::uint32_t size) {
  source.data = data;
  source.size = size;
  source.chunk_size = 4096;
  file_source_setpos(source, 0);
}

char file_source_next(text_source& source) {
  if (source.left == 0) return '\0';
  char c = *source.current;
  file_source_setpos(source, source.offset + source.chunk_size);
  return c;
}

const text_source_ops kFileSourceOps = {file_source_init, file_source_next, file_source_setpos};

}  // namespace

local_file* local_file_of(mail_stream* stream) {
  return stream ? dynamic_cast<local_file*>(stream->local.get()) : nullptr;
}

std::optional<std::string> local_host_file(std::string_view name) {
  std::optional<std::string> file = mailbox_file(name);
  if (!file) return std::nullopt;
  return host_path(*file);
}

local_kind local_file_check(const local_format& format, std::string_view name) {
  if (name.starts_with("{") || name.starts_with("*{")) return local_kind::other;
  std::optional<std::string> path = local_host_file(name);
  if (!path) return local_kind::invalid_name;
  unique_fd fd(::open(path->c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd.valid()) return errno == ENOENT ? local_kind::missing : local_kind::other;
  struct stat st;
  if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return local_kind::other;
  if (st.st_size == 0) return local_kind::empty;
  return format.recognises(fd.get()) ? local_kind::format : local_kind::other;
}

std::optional<std::uint64_t> local_file_size(int fd) {
  struct stat st;
  if (::fstat(fd, &st) != 0) return std::nullopt;
  return static_cast<std::uint64_t>(st.st_size);
}

std::string_view local_view(local_file& file, std::uint64_t position, std::size_t max_count,
                            std::size_t min_count) {
  std::size_t wanted = std::min({min_count, max_count, kWindowSize});
  bool inside = position >= file.window_start && position < file.window_start + file.window_length;
  if (!inside || file.window_start + file.window_length - position < wanted) {
    file.window.resize(kWindowSize);
    ssize_t n = fd_read_at(file.fd.get(), position, file.window.data(), file.window.size());
    file.window_start = position;
    file.window_length = n < 0 ? 0 : static_cast<std::size_t>(n);
  }
  if (position >= file.window_start + file.window_length) return {};
  std::size_t offset = static_cast<std::size_t>(position - file.window_start);
  return {file.window.data() + offset, std::min(max_count, file.window_length - offset)};
}

bool local_read(local_file& file, std::uint64_t position, std::size_t count, char* out) {
  if (count > kWindowSize) {
    errno = 0;
    return fd_read_at(file.fd.get(), position, out, count) == static_cast<ssize_t>(count);
  }
  errno = 0;
  std::string_view view = local_view(file, position, count, count);
  if (view.size() < count) return false;
  std::memcpy(out, view.data(), count);
  return true;
}

bool local_write_at(local_file& file, std::uint64_t position, std::string_view bytes) {
  file.window_length = 0;
  while (!bytes.empty()) {
    ssize_t n = ::pwrite(file.fd.get(), bytes.data(), bytes.size(), static_cast<off_t>(position));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(n));
    position += static_cast<std::uint64_t>(n);
  }
  return true;
}

void local_abort(mail_stream* stream) {
  stream->local.reset();
  stream->driver = nullptr;
}

void local_source_init(text_source& source, local_file& file, std::uint64_t start,
                       std::uint32_t length) {
  source.data1 = static_cast<std::uint32_t>(start);
  text_source_init(source, kFileSourceOps, &file, length);
}

std::string local_error_text(int error) {
  return error ? std::strerror(error) : "no data read";
}

bool local_file_lock(int fd) {
  // Polled rather than blocking, so that a program that never lets go cannot
  // hold us for ever.
  for (int tries = 0; tries < 1000; ++tries) {
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return true;
    if (errno != EWOULDBLOCK && errno != EINTR) break;
    ::usleep(10000);
  }
  int saved = errno;
  mail_log(LOG_ERROR, "Mailbox is locked by another program: %s", local_error_text(saved).c_str());
  errno = saved;
  return false;
}

local_lock::local_lock(int fd) : fd_(fd), held_(local_file_lock(fd)) {}

local_lock::~local_lock() {
  if (held_) ::flock(fd_, LOCK_UN);
}

bool local_appender::open(const std::string& path) {
  fd_.reset(::open(path.c_str(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC, 0600));
  if (!fd_.valid()) return false;
  // The size is taken under the lock: a roll-back cuts back to it, and must
  // not cut off what another program appended.
  if (!local_file_lock(fd_.get())) return false;
  std::optional<std::uint64_t> size = local_file_size(fd_.get());
  if (!size) return false;
  size_before_ = *size;
  written_ = 0;
  last_ = 0;
  if (size_before_ > 0 &&
      ::pread(fd_.get(), &last_, 1, static_cast<off_t>(size_before_ - 1)) != 1) {
    return false;
  }
  return true;
}

bool local_appender::write(std::string_view bytes) {
  if (bytes.empty()) return true;
  if (size_before_ + written_ + buffer_.size() + bytes.size() > kLocalFileLimit) {
    errno = EFBIG;
    return false;
  }
  buffer_.append(bytes);
  last_ = bytes.back();
  return buffer_.size() < kWindowSize || flush();
}

bool local_appender::flush() {
  bool ok = fd_write_all(fd_.get(), buffer_);
  written_ += buffer_.size();
  buffer_.clear();
  return ok;
}

void local_appender::roll_back() {
  buffer_.clear();
  int saved = errno;
  (void)::ftruncate(fd_.get(), static_cast<off_t>(size_before_));
  errno = saved;
}
