#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <string_view>

// An open file descriptor that closes itself.
class unique_fd {
 public:
  unique_fd() = default;
  explicit unique_fd(int fd) : fd_(fd) {}
  ~unique_fd() { reset(); }
  unique_fd(unique_fd&& other) noexcept : fd_(other.release()) {}
  unique_fd& operator=(unique_fd&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  unique_fd(const unique_fd&) = delete;
  unique_fd& operator=(const unique_fd&) = delete;

  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }
  int release() {
    int fd = fd_;
    fd_ = -1;
    return fd;
  }
  void reset(int fd = -1);

 private:
  int fd_ = -1;
};

// Reads from the descriptor's position to its end; false on a read error.
bool fd_read_all(int fd, std::string& contents);

// Reads count bytes at the offset, or up to the end of the file; the number
// read, or -1 (errno set) on a read error.
ssize_t fd_read_at(int fd, std::uint64_t offset, void* out, std::size_t count);

// Writes every byte; false (errno set) when the write fails.
bool fd_write_all(int fd, std::string_view bytes);
