#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

// Appends bytes to a string through a pointer: the converters write tens of
// megabytes a byte at a time, which push_back makes several times slower.
// Call room(n) before writing n bytes with put.
class byte_writer {
 public:
  byte_writer(std::string& output, std::size_t expected) : output_(output) {
    std::size_t used = output_.size();
    output_.resize(used + std::max<std::size_t>(expected, 64));
    point(used);
  }
  ~byte_writer() { output_.resize(static_cast<std::size_t>(next_ - output_.data())); }
  byte_writer(const byte_writer&) = delete;
  byte_writer& operator=(const byte_writer&) = delete;

  void room(std::size_t n) {
    if (static_cast<std::size_t>(end_ - next_) < n) grow(n);
  }
  void put(char byte) { *next_++ = byte; }
  // For tight loops: a pointer to n bytes of room, and where writing ended.
  char* claim(std::size_t n) {
    room(n);
    return next_;
  }
  void release(char* end) { next_ = end; }
  void put(std::string_view bytes) {
    std::memcpy(next_, bytes.data(), bytes.size());
    next_ += bytes.size();
  }

 private:
  void grow(std::size_t n) {
    std::size_t used = static_cast<std::size_t>(next_ - output_.data());
    output_.resize(std::max(output_.size() * 2, used + n + 64));
    point(used);
  }
  void point(std::size_t used) {
    next_ = output_.data() + used;
    end_ = output_.data() + output_.size();
  }

  std::string& output_;
  char* next_;
  char* end_;
};
