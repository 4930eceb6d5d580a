#include <sys/socket.h>

#include <cerrno>
#include <cstring>

#include "message/callbacks.h"
#include "net/tcp.h"
#include "net/tcp_state.h"

namespace {

// Up to size bytes of the stream, through TLS when it runs; 0 when gone.
std::size_t receive(tcp_stream& stream, char* into, std::size_t size) {
  return stream.tls ? tls_receive(stream, into, size) : tcp_socket_receive(stream, into, size);
}

// Makes sure the buffer holds unread bytes; false when the connection is gone.
bool fill(tcp_stream& stream) {
  if (stream.socket < 0) return false;
  if (stream.count > 0) return true;
  std::size_t received = receive(stream, stream.buffer.data(), stream.buffer.size());
  if (received == 0) return false;
  stream.next_byte = stream.buffer.data();
  stream.count = static_cast<std::uint32_t>(received);
  return true;
}

}  // namespace

std::size_t tcp_socket_receive(tcp_stream& stream, char* into, std::size_t size) {
  if (stream.socket < 0 || !tcp_wait(stream, false)) return 0;
  ssize_t received;
  do {
    received = ::recv(stream.socket, into, size, 0);
  } while (received < 0 && errno == EINTR);
  if (received <= 0) {
    tcp_abort(stream);
    return 0;
  }
  return static_cast<std::size_t>(received);
}

std::optional<std::string> tcp_read_line(tcp_stream& stream) {
  std::string line;
  bool started = false;
  bool after_cr = false;  // the bytes so far end with a CR from an earlier fill
  while (fill(stream)) {
    started = true;
    std::string_view chunk(stream.next_byte, stream.count);
    if (after_cr && chunk.front() == '\n') {
      line.pop_back();
      ++stream.next_byte;
      --stream.count;
      return line;
    }
    std::size_t end = chunk.find("\r\n");
    if (end != std::string_view::npos) {
      line.append(chunk.substr(0, end));
      stream.next_byte += end + 2;
      stream.count -= static_cast<std::uint32_t>(end + 2);
      return line;
    }
    line.append(chunk);
    after_cr = chunk.back() == '\r';
    stream.count = 0;
    if (line.size() > kTcpLineLimit) {
      mail_log(LOG_ERROR, "Line from %.80s longer than %zu bytes", stream.remote_host.c_str(),
               kTcpLineLimit);
      tcp_abort(stream);
      return std::nullopt;
    }
  }
  if (!started) return std::nullopt;
  return line;
}

bool tcp_read_block(tcp_stream& stream, std::uint32_t size, char* destination) {
  while (size > 0) {
    if (stream.count == 0 && size >= stream.buffer.size() && stream.socket >= 0) {
      // A large block goes straight to its place, not through the buffer.
      std::size_t received = receive(stream, destination, size);
      if (received == 0) return false;
      destination += received;
      size -= static_cast<std::uint32_t>(received);
      continue;
    }
    if (!fill(stream)) return false;
    std::uint32_t taken = std::min(size, stream.count);
    std::memcpy(destination, stream.next_byte, taken);
    destination += taken;
    stream.next_byte += taken;
    stream.count -= taken;
    size -= taken;
  }
  *destination = '\0';
  return true;
}
