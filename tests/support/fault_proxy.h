#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <thread>

// A loopback proxy in front of a server that cuts each connection after a
// chosen number of bytes in one direction: the client sees an orderly server
// up to that byte, then the connection goes.
class fault_proxy {
 public:
  enum direction { toward_server, toward_client };
  // cut_after < 0: never cut.
  fault_proxy(int server_port, direction cut_direction, long cut_after);
  ~fault_proxy();
  fault_proxy(const fault_proxy&) = delete;
  fault_proxy& operator=(const fault_proxy&) = delete;

  int port() const { return port_; }
  // Whether some connection was cut.
  bool cut() const { return cut_; }
  // Everything the clients sent toward the server so far.
  std::string client_bytes() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return client_bytes_;
  }

 private:
  void serve();
  void forward(int client);

  int server_port_;
  direction direction_;
  long cut_after_;
  int listener_ = -1;
  int port_ = 0;
  std::atomic<bool> stopping_{false};
  std::atomic<bool> cut_{false};
  mutable std::mutex mutex_;
  std::string client_bytes_;
  std::thread worker_;
};
