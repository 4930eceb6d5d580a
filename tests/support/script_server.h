#pragma once

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// A peer on loopback that plays a script against one client: send these
// bytes, wait, read a line, close. Everything the client sent is kept, so a
// test can compare the wire byte for byte.
class script_server {
 public:
  struct step {
    enum kind { send, send_repeated, pause, read_line, read_until, read_bytes, close } what;
    std::string text;  // send, send_repeated: the bytes
    int amount;        // pause: milliseconds; read_bytes: how many; send_repeated: times
  };
  static step send(std::string text) { return {step::send, std::move(text), 0}; }
  // The bytes sent `times` times over, until the client stops reading: a
  // flood that the server never holds whole.
  static step send_repeated(std::string text, int times) {
    return {step::send_repeated, std::move(text), times};
  }
  static step pause(int milliseconds) { return {step::pause, "", milliseconds}; }
  static step read_line() { return {step::read_line, "", 0}; }
  static step read_bytes(int count) { return {step::read_bytes, "", count}; }
  // Reads lines up to and with one equal to `line` (they are not kept as lines).
  static step read_until(std::string line) { return {step::read_until, std::move(line), 0}; }
  static step close() { return {step::close, "", 0}; }

  explicit script_server(std::vector<step> script);
  ~script_server();  // waits for the script to end
  script_server(const script_server&) = delete;
  script_server& operator=(const script_server&) = delete;

  int port() const { return port_; }
  // Waits for the script to end and returns everything the client sent.
  std::string received();
  // The lines read by read_line steps, without CR LF.
  std::vector<std::string> lines();

 private:
  void play(std::vector<step> script);
  bool read_into(int fd, std::size_t count);
  // One line without its CR LF; false when the client is gone.
  bool receive_line(int fd, std::string& line);

  int listener_ = -1;
  int port_ = 0;
  std::thread worker_;
  std::mutex mutex_;
  std::string received_;
  std::vector<std::string> lines_;
};
