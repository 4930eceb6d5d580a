#include "net/tcp_state.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>

#include "message/callbacks.h"
#include "net/tcp.h"
#include "platform/sockets.h"

namespace {

// How long a wait goes on without asking the application whether to go on.
constexpr std::chrono::milliseconds kWaitSlice(250);

}  // namespace

tcp_settings& tcp_state() {
  static tcp_settings settings;
  return settings;
}

void tcp_abort(tcp_stream& stream) {
  if (stream.socket < 0) return;
  stream.tls.reset();
  ::close(stream.socket);
  stream.socket = -1;
  stream.count = 0;
  tcp_settings& state = tcp_state();
  if (sockets_start_count() > 0 && state.open_streams > 0 && --state.open_streams == 0) {
    sockets_reset();
  }
}

bool tcp_wait(tcp_stream& stream, bool for_writing) {
  using clock = std::chrono::steady_clock;
  tcp_settings& state = tcp_state();
  const mail_callbacks& callbacks = mail_callback();
  clock::time_point began = clock::now();
  clock::time_point deadline = began;
  bool deadline_set = false;
  auto abandoned = [&] {
    state.wait_asked = clock::now();
    if (callbacks.on_wait()) return false;
    mail_log(LOG_ERROR, "Waiting for %.80s abandoned", stream.remote_host.c_str());
    tcp_abort(stream);
    return true;
  };
  if (began - state.wait_asked >= kWaitSlice && abandoned()) return false;
  for (;;) {
    if (stream.socket < 0) return false;
    long limit = for_writing ? state.write_timeout : state.read_timeout;
    if (limit > 0 && !deadline_set) {
      deadline = began + std::chrono::seconds(limit);
      deadline_set = true;
    }
    auto slice = kWaitSlice;
    if (limit > 0) {
      auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - clock::now());
      slice = std::clamp(left, std::chrono::milliseconds(0), kWaitSlice);
    }
    pollfd watched{stream.socket, static_cast<short>(for_writing ? POLLOUT : POLLIN), 0};
    int ready = ::poll(&watched, 1, static_cast<int>(slice.count()));
    if (ready > 0) return true;
    if (ready < 0) {
      if (errno == EINTR) continue;
      tcp_abort(stream);
      return false;
    }
    if (abandoned()) return false;
    if (limit > 0 && clock::now() >= deadline) {
      long seconds = static_cast<long>(
          std::chrono::duration_cast<std::chrono::seconds>(clock::now() - began).count());
      bool wait_on = state.timeout_handler ? state.timeout_handler(seconds) != 0
                                           : callbacks.on_timeout(seconds);
      if (!wait_on) {
        mail_log(LOG_ERROR, "No answer from %.80s for %ld seconds", stream.remote_host.c_str(),
                 seconds);
        tcp_abort(stream);
        return false;
      }
      deadline = clock::now() + std::chrono::seconds(limit);
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
