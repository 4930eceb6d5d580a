#include "cli/streams.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

void read_failed(const std::string& path) {
  std::fprintf(stderr, "kestrel-mail: cannot read %s: %s\n",
               path.empty() ? "standard input" : path.c_str(), std::strerror(errno));
}

}  // namespace

std::optional<std::string> input_read(const std::string& path) {
  const int descriptor = path.empty() ? STDIN_FILENO : open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (descriptor < 0) {
    read_failed(path);
    return std::nullopt;
  }
  std::string bytes;
  struct stat status {};
  // A regular file is read into a buffer of its size, so a large letter is
  // held once and not copied while the buffer grows.
  std::size_t capacity = 1 << 16;
  if (fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode))
    capacity = static_cast<std::size_t>(status.st_size) + 1;
  bytes.resize(capacity);
  std::size_t filled = 0;
  for (;;) {
    if (filled == bytes.size()) bytes.resize(bytes.size() * 2);
    const ssize_t count = read(descriptor, bytes.data() + filled, bytes.size() - filled);
    if (count == 0) break;
    if (count < 0) {
      if (errno == EINTR) continue;
      read_failed(path);
      if (!path.empty()) close(descriptor);
      return std::nullopt;
    }
    filled += static_cast<std::size_t>(count);
  }
  if (!path.empty()) close(descriptor);
  bytes.resize(filled);
  return bytes;
}

bool input_read_blocks(
    const std::function<std::optional<std::size_t>(std::string_view block, bool last)>& take) {
  std::string buffer(std::size_t{1} << 20, '\0');
  std::size_t kept = 0;
  for (;;) {
    if (kept == buffer.size()) buffer.resize(buffer.size() * 2);  // a very long line
    const ssize_t count = read(STDIN_FILENO, buffer.data() + kept, buffer.size() - kept);
    if (count < 0) {
      if (errno == EINTR) continue;
      read_failed("");
      return false;
    }
    const std::size_t filled = kept + static_cast<std::size_t>(count);
    const std::optional<std::size_t> used =
        take(std::string_view(buffer.data(), filled), count == 0);
    if (!used) return false;
    if (count == 0) return true;
    kept = filled - *used;
    std::memmove(buffer.data(), buffer.data() + *used, kept);
  }
}

bool output_write(std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t count = write(STDOUT_FILENO, bytes.data(), bytes.size());
    if (count < 0) {
      if (errno == EINTR) continue;
      std::fprintf(stderr, "kestrel-mail: cannot write the output: %s\n", std::strerror(errno));
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(count));
  }
  return true;
}
