#include "platform/unique_fd.h"

#include <unistd.h>

#include <cerrno>

void unique_fd::reset(int fd) {
  if (fd_ >= 0) ::close(fd_);
  fd_ = fd;
}

bool fd_read_all(int fd, std::string& contents) {
  char buffer[8192];
  for (;;) {
    ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) return true;
    contents.append(buffer, static_cast<std::size_t>(n));
  }
}

ssize_t fd_read_at(int fd, std::uint64_t offset, void* out, std::size_t count) {
  std::size_t done = 0;
  while (done < count) {
    ssize_t n = ::pread(fd, static_cast<char*>(out) + done, count - done,
                        static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return -1;
    if (n == 0) break;
    done += static_cast<std::size_t>(n);
  }
  return static_cast<ssize_t>(done);
}

bool fd_write_all(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}
