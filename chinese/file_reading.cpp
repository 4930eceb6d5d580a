#include "chinese/file_reading.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "platform/file_names.h"

unique_fd open_for_reading(const std::string& name) {
  return unique_fd(::open(host_path(name).c_str(), O_RDONLY | O_CLOEXEC));
}

std::size_t read_at(const unique_fd& fd, long offset, void* buffer, std::size_t size) {
  if (!fd.valid() || offset < 0) return 0;
  std::size_t done = 0;
  while (done < size) {
    ssize_t n = ::pread(fd.get(), static_cast<char*>(buffer) + done, size - done,
                        static_cast<off_t>(offset) + static_cast<off_t>(done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  return done;
}
