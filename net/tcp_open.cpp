#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

#include "message/callbacks.h"
#include "net/tcp.h"
#include "net/tcp_state.h"
#include "platform/host_name.h"
#include "platform/sockets.h"
#include "platform/storage.h"

namespace {

// The reason word for a failed connect, by what the error means.
const char* connect_failure(int error) {
  switch (error) {
    case ENOBUFS:
    case ENOMEM:
    case EMFILE:
    case ENFILE:
    case EAGAIN:
      return "Insufficient system resources";
    case ETIMEDOUT:
      return "Timed out";
    case ECONNREFUSED:
      return "Refused";
    default:
      return "Unknown error";
  }
}

// Cuts ":port" off the host; false (reported) when junk follows the digits.
bool split_port(std::string& host, long& port) {
  std::size_t colon = host.find(':');
  if (colon == std::string::npos) return true;
  std::string rest = host.substr(colon + 1);
  host.resize(colon);
  std::size_t digits = 0;
  long number = 0;
  while (digits < rest.size() && rest[digits] >= '0' && rest[digits] <= '9') {
    if (number <= 65535) number = number * 10 + (rest[digits] - '0');
    ++digits;
  }
  if (digits < rest.size()) {
    mail_log(LOG_ERROR, "Junk after port number: %.80s", rest.c_str());
    return false;
  }
  port = number;
  return true;
}

// The address and the remote name of the host; false (reported) when unknown.
bool resolve(const std::string& host, in_addr& address, std::string& remote_name) {
  if (host.size() >= 2 && host.front() == '[' && host.back() == ']') {
    std::string literal = host.substr(1, host.size() - 2);
    if (::inet_pton(AF_INET, literal.c_str(), &address) != 1) {
      mail_log(LOG_ERROR, "Bad format domain-literal: %.80s", host.c_str());
      return false;
    }
    remote_name = host;
    return true;
  }
  std::string lowered = host;
  text_lower(lowered);
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_CANONNAME;
  addrinfo* found = nullptr;
  int error = ::getaddrinfo(lowered.c_str(), nullptr, &hints, &found);
  if (error != 0 || !found) {
    mail_log(LOG_ERROR, "Host not found (#%d): %s", error, lowered.c_str());
    return false;
  }
  address = reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr;
  remote_name = found->ai_canonname ? found->ai_canonname : lowered;
  ::freeaddrinfo(found);
  return true;
}

// Connects without blocking, so that the write time-out and the application's
// on_wait govern the wait as they govern sending. 0 when connected, else the
// error number, or -1 when the wait failed (reported, the socket closed).
int connect_in_time(tcp_stream& stream, const sockaddr_in& peer) {
  int flags = ::fcntl(stream.socket, F_GETFL);
  ::fcntl(stream.socket, F_SETFL, flags | O_NONBLOCK);
  int result = ::connect(stream.socket, reinterpret_cast<const sockaddr*>(&peer), sizeof peer);
  int error = result == 0 ? 0 : errno;
  if (error == EINPROGRESS || error == EINTR) {
    if (!tcp_wait(stream, true)) return -1;
    socklen_t size = sizeof error;
    if (::getsockopt(stream.socket, SOL_SOCKET, SO_ERROR, &error, &size) != 0) error = errno;
  }
  ::fcntl(stream.socket, F_SETFL, flags);
  return error;
}

}  // namespace

std::unique_ptr<tcp_stream> tcp_open(std::string& host, long port) {
  sockets_start();
  if (!split_port(host, port)) return nullptr;
  in_addr address{};
  std::string remote_name;
  if (!resolve(host, address, remote_name)) return nullptr;
  if (port <= 0 || port > 65535) {
    mail_log(LOG_ERROR, "Bad port argument to tcp_open");
    return nullptr;
  }
  int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) {
    mail_log(LOG_ERROR, "Unable to create TCP socket (%d)", errno);
    return nullptr;
  }
  sockaddr_in peer{};
  peer.sin_family = AF_INET;
  peer.sin_port = htons(static_cast<std::uint16_t>(port));
  peer.sin_addr = address;
  ++tcp_state().open_streams;
  auto stream = std::make_unique<tcp_stream>();
  stream->socket = fd;
  stream->remote_host = remote_name;
  stream->next_byte = stream->buffer.data();
  if (int error = connect_in_time(*stream, peer)) {
    // A wait that timed out or was abandoned has been reported already.
    if (error > 0) {
      mail_log(LOG_ERROR, "Can't connect to %.80s,%ld: %s (%d)", remote_name.c_str(), port,
               connect_failure(error), error);
    }
    return nullptr;
  }
  std::optional<std::string> local = host_official_name();
  stream->local_host = local ? *local : socket_local_name(fd);
  return stream;
}

void tcp_close(std::unique_ptr<tcp_stream>& stream) {
  if (stream && stream->tls) tls_say_goodbye(*stream);
  stream.reset();
}
