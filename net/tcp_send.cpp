#include <sys/socket.h>

#include <cerrno>
#include <cstring>

#include "net/tcp.h"
#include "net/tcp_state.h"

bool tcp_socket_send(tcp_stream& stream, std::string_view bytes) {
  while (!bytes.empty()) {
    if (stream.socket < 0 || !tcp_wait(stream, true)) return false;
    // Not blocking: a peer that stops reading must not hold us past the wait.
    ssize_t sent = ::send(stream.socket, bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    if (sent < 0) {
      if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK) continue;
      tcp_abort(stream);
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(sent));
  }
  return true;
}

bool tcp_send(tcp_stream& stream, std::string_view bytes) {
  if (bytes.empty()) return true;
  return stream.tls ? tls_send(stream, bytes) : tcp_socket_send(stream, bytes);
}

bool tcp_send_text(tcp_stream& stream, const char* text) {
  return tcp_send(stream, std::string_view(text, std::strlen(text)));
}
