#include "tests/support/loopback.h"

#include <arpa/inet.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>

sockaddr_in loopback_address(int port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return address;
}

int loopback_socket(int type, int backlog, int* port) {
  int fd = ::socket(AF_INET, type, 0);
  sockaddr_in address = loopback_address(0);
  socklen_t length = sizeof address;
  if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
      (type == SOCK_STREAM && ::listen(fd, backlog) != 0) ||
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    std::abort();
  }
  if (port) *port = ntohs(address.sin_port);
  return fd;
}

int free_loopback_port() {
  int port = 0;
  ::close(loopback_socket(SOCK_STREAM, 1, &port));
  return port;
}

int loopback_connect(int port) {
  int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address = loopback_address(port);
  if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

bool loopback_listening(int port) {
  int fd = loopback_connect(port);
  if (fd < 0) return false;
  ::close(fd);
  return true;
}
