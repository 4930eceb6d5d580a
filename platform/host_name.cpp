#include "platform/host_name.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <optional>

#include "platform/environment.h"
#include "platform/sockets.h"

namespace {

std::optional<std::string> system_host_name() {
  char name[1024] = {};
  if (::gethostname(name, sizeof name - 1) != 0 || !name[0]) return std::nullopt;
  return std::string(name);
}

std::string official_name(const std::string& name) {
  addrinfo hints{};
  hints.ai_flags = AI_CANONNAME;
  addrinfo* found = nullptr;
  if (::getaddrinfo(name.c_str(), nullptr, &hints, &found) != 0) return name;
  std::string result = (found && found->ai_canonname) ? found->ai_canonname : name;
  ::freeaddrinfo(found);
  return result;
}

std::string datagram_address() {
  int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
  if (fd < 0) return "random-pc";
  sockaddr_in address{};
  socklen_t length = sizeof address;
  std::string result = "random-pc";
  if (::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
    char dotted[INET_ADDRSTRLEN] = {};
    if (::inet_ntop(AF_INET, &address.sin_addr, dotted, sizeof dotted)) {
      result = std::string("[") + dotted + "]";
    }
  }
  ::close(fd);
  return result;
}

}  // namespace

const std::string& local_host_name() {
  std::optional<std::string>& stored = env_local_host();
  if (!stored) {
    if (sockets_start_count() == 0) sockets_start();
    std::optional<std::string> name = system_host_name();
    stored = name ? official_name(*name) : datagram_address();
  }
  return *stored;
}
