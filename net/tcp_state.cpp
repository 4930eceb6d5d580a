#include "net/tcp_state.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>

#include "net/tcp.h"
#include "platform/sockets.h"

tcp_settings& tcp_state() {
  static tcp_settings settings;
  return settings;
}

void tcp_abort(tcp_stream& stream) {
  if (stream.socket < 0) return;
  ::close(stream.socket);
  stream.socket = -1;
  stream.count = 0;
  tcp_settings& state = tcp_state();
  if (sockets_start_count() > 0 && state.open_streams > 0 && --state.open_streams == 0) {
    sockets_reset();
  }
}

bool tcp_wait(tcp_stream& stream, bool for_writing) {
  tcp_settings& state = tcp_state();
  // Without a time-out the blocking receive or send itself is the wait.
  if ((for_writing ? state.write_timeout : state.read_timeout) <= 0) return stream.socket >= 0;
  std::time_t began = std::time(nullptr);
  for (;;) {
    long limit = for_writing ? state.write_timeout : state.read_timeout;
    pollfd watched{stream.socket, static_cast<short>(for_writing ? POLLOUT : POLLIN), 0};
    int ready = ::poll(&watched, 1, limit > 0 ? static_cast<int>(limit * 1000) : -1);
    if (ready > 0) return true;
    if (ready < 0) {
      if (errno == EINTR) continue;
      tcp_abort(stream);
      return false;
    }
    if (!state.timeout_handler || !state.timeout_handler(std::time(nullptr) - began)) {
      tcp_abort(stream);
      return false;
    }
  }
}

tcp_stream::~tcp_stream() {
  tcp_abort(*this);
}

unsigned tcp_open_streams() {
  return tcp_state().open_streams;
}

void* tcp_parameters(long code, void* value) {
  tcp_settings& state = tcp_state();
  auto number = [](long n) { return reinterpret_cast<void*>(static_cast<std::intptr_t>(n)); };
  switch (code) {
    case GET_READ_TIMEOUT:
      return number(state.read_timeout);
    case SET_READ_TIMEOUT:
      state.read_timeout = static_cast<long>(reinterpret_cast<std::intptr_t>(value));
      return value;
    case GET_WRITE_TIMEOUT:
      return number(state.write_timeout);
    case SET_WRITE_TIMEOUT:
      state.write_timeout = static_cast<long>(reinterpret_cast<std::intptr_t>(value));
      return value;
    case GET_TIMEOUT:
      return reinterpret_cast<void*>(state.timeout_handler);
    case SET_TIMEOUT:
      state.timeout_handler = reinterpret_cast<tcp_timeout_handler>(value);
      return value;
    default:
      return nullptr;
  }
}

const std::string& tcp_remote_host(const tcp_stream& stream) {
  return stream.remote_host;
}
const std::string& tcp_local_host(const tcp_stream& stream) {
  return stream.local_host;
}
