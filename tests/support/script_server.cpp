#include "tests/support/script_server.h"

#include "tests/support/loopback.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>

script_server::script_server(std::vector<step> script) {
  listener_ = loopback_socket(SOCK_STREAM, 1, &port_);
  worker_ = std::thread([this, script = std::move(script)]() mutable { play(std::move(script)); });
}

script_server::~script_server() {
  if (worker_.joinable()) worker_.join();
  if (listener_ >= 0) ::close(listener_);
}

std::string script_server::received() {
  if (worker_.joinable()) worker_.join();
  std::lock_guard<std::mutex> lock(mutex_);
  return received_;
}

std::vector<std::string> script_server::lines() {
  if (worker_.joinable()) worker_.join();
  std::lock_guard<std::mutex> lock(mutex_);
  return lines_;
}

// Reads until received_ holds count more bytes than before, or the client is gone.
bool script_server::read_into(int fd, std::size_t count) {
  char buffer[4096];
  std::size_t got = 0;
  while (got < count) {
    ssize_t n = ::recv(fd, buffer, std::min(sizeof buffer, count - got), 0);
    if (n <= 0) return false;
    std::lock_guard<std::mutex> lock(mutex_);
    received_.append(buffer, static_cast<std::size_t>(n));
    got += static_cast<std::size_t>(n);
  }
  return true;
}

bool script_server::receive_line(int fd, std::string& line) {
  line.clear();
  char c;
  while (::recv(fd, &c, 1, 0) == 1) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      received_ += c;
    }
    line += c;
    if (line.ends_with("\r\n")) {
      line.resize(line.size() - 2);
      return true;
    }
  }
  return false;
}

void script_server::play(std::vector<step> script) {
  pollfd waiting{listener_, POLLIN, 0};
  if (::poll(&waiting, 1, 10000) <= 0) return;  // no client came
  int fd = ::accept(listener_, nullptr, nullptr);
  if (fd < 0) return;
  bool open = true;
  for (const step& s : script) {
    if (!open) break;
    switch (s.what) {
      case step::send:
        ::send(fd, s.text.data(), s.text.size(), MSG_NOSIGNAL);
        break;
      case step::send_repeated:
        for (int i = 0; open && i < s.amount; ++i)
          open = ::send(fd, s.text.data(), s.text.size(), MSG_NOSIGNAL) > 0;
        break;
      case step::pause:
        std::this_thread::sleep_for(std::chrono::milliseconds(s.amount));
        break;
      case step::read_line: {
        std::string line;
        open = receive_line(fd, line);
        std::lock_guard<std::mutex> lock(mutex_);
        lines_.push_back(line);
        break;
      }
      case step::read_until: {
        std::string line;
        while ((open = receive_line(fd, line)) && line != s.text) {
        }
        break;
      }
      case step::read_bytes:
        open = read_into(fd, static_cast<std::size_t>(s.amount));
        break;
      case step::close:
        ::close(fd);
        fd = -1;
        open = false;
        break;
    }
  }
  if (fd >= 0) {
    // Drain what the client still sends until it hangs up.
    ::shutdown(fd, SHUT_WR);
    char buffer[4096];
    pollfd client{fd, POLLIN, 0};
    while (::poll(&client, 1, 2000) > 0) {
      ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
      if (n <= 0) break;
      std::lock_guard<std::mutex> lock(mutex_);
      received_.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
  }
}
