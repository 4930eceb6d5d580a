#pragma once

#include <unistd.h>

#include <cstddef>
#include <string>
#include <utility>

// An open file descriptor, closed when its owner goes.
class unique_fd {
 public:
  unique_fd() = default;
  explicit unique_fd(int fd) : fd_(fd) {}
  unique_fd(unique_fd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  unique_fd& operator=(unique_fd&& other) noexcept {
    if (this != &other) {
      reset();
      fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
  }
  ~unique_fd() { reset(); }

  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }
  void reset() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }

 private:
  int fd_ = -1;
};

// Opens a file for reading, its name mapped through host_path.
unique_fd open_for_reading(const std::string& name);

// Reads up to size bytes at offset; the number read (0 on any error).
std::size_t read_at(const unique_fd& fd, long offset, void* buffer, std::size_t size);
