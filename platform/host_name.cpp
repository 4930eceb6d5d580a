#include "platform/host_name.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "platform/environment.h"
#include "platform/sockets.h"

std::optional<std::string> host_official_name() {
  char name[1024] = {};
  if (::gethostname(name, sizeof name - 1) != 0 || !name[0]) return std::nullopt;
  addrinfo hints{};
  hints.ai_flags = AI_CANONNAME;
  addrinfo* found = nullptr;
  if (::getaddrinfo(name, nullptr, &hints, &found) != 0) return std::string(name);
  std::string result = (found && found->ai_canonname) ? found->ai_canonname : name;
  ::freeaddrinfo(found);
  return result;
}

std::string socket_local_name(int socket) {
  sockaddr_in address{};
  socklen_t length = sizeof address;
  char dotted[INET_ADDRSTRLEN] = {};
  if (socket < 0 || ::getsockname(socket, reinterpret_cast<sockaddr*>(&address), &length) != 0 ||
      address.sin_family != AF_INET ||
      !::inet_ntop(AF_INET, &address.sin_addr, dotted, sizeof dotted)) {
    return "random-pc";
  }
  return std::string("[") + dotted + "]";
}

const std::string& local_host_name() {
  std::optional<std::string>& stored = env_local_host();
  if (!stored) {
    if (sockets_start_count() == 0) sockets_start();
    stored = host_official_name();
    if (!stored) {
      int datagram = ::socket(AF_INET, SOCK_DGRAM, 0);
      stored = socket_local_name(datagram);
      if (datagram >= 0) ::close(datagram);
    }
  }
  return *stored;
}
