#include "chinese/file_reading.h"

#include <fcntl.h>
#include <unistd.h>

#include "platform/file_names.h"

unique_fd open_for_reading(const std::string& name) {
  return unique_fd(::open(host_path(name).c_str(), O_RDONLY | O_CLOEXEC));
}

std::size_t read_at(const unique_fd& fd, long offset, void* buffer, std::size_t size) {
  if (!fd.valid() || offset < 0) return 0;
  ssize_t n = fd_read_at(fd.get(), static_cast<std::uint64_t>(offset), buffer, size);
  return n < 0 ? 0 : static_cast<std::size_t>(n);
}
