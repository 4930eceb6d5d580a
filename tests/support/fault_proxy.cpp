#include "tests/support/fault_proxy.h"

#include "tests/support/loopback.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>

namespace {

bool send_all(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    ssize_t n = ::send(fd, data, size, MSG_NOSIGNAL);
    if (n <= 0) return false;
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

fault_proxy::fault_proxy(int server_port, direction cut_direction, long cut_after)
    : server_port_(server_port), direction_(cut_direction), cut_after_(cut_after) {
  listener_ = loopback_socket(SOCK_STREAM, 4, &port_);
  worker_ = std::thread([this] { serve(); });
}

fault_proxy::~fault_proxy() {
  stopping_ = true;
  worker_.join();
  ::close(listener_);
}

void fault_proxy::serve() {
  while (!stopping_) {
    pollfd waiting{listener_, POLLIN, 0};
    if (::poll(&waiting, 1, 100) <= 0) continue;
    int client = ::accept(listener_, nullptr, nullptr);
    if (client >= 0) forward(client);
  }
}

void fault_proxy::forward(int client) {
  int server = loopback_connect(server_port_);
  if (server < 0) {
    ::close(client);
    return;
  }
  long counted = 0;
  char buffer[16384];
  bool open = true;
  while (open && !stopping_) {
    pollfd fds[2] = {{client, POLLIN, 0}, {server, POLLIN, 0}};
    if (::poll(fds, 2, 100) <= 0) continue;
    for (int i = 0; i < 2 && open; ++i) {
      if (!(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
      int from = fds[i].fd, to = i == 0 ? server : client;
      ssize_t n = ::recv(from, buffer, sizeof buffer, 0);
      if (n <= 0) {
        open = false;
        break;
      }
      std::size_t size = static_cast<std::size_t>(n);
      if (i == 0) {
        std::lock_guard<std::mutex> lock(mutex_);
        client_bytes_.append(buffer, size);
      }
      bool counting = (i == 0) == (direction_ == toward_server);
      if (counting && cut_after_ >= 0 && counted + n >= cut_after_) {
        send_all(to, buffer, static_cast<std::size_t>(cut_after_ - counted));
        cut_ = true;
        open = false;
        break;
      }
      if (counting) counted += n;
      open = send_all(to, buffer, size);
    }
  }
  ::close(server);
  ::close(client);
}
