#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "net/tls.h"

// One blocking TCP connection with its receive buffer. A read or send that
// fails closes the socket; every later operation then fails at once.
struct tcp_stream {
  std::string remote_host;  // official name, or the bracketed literal as given
  std::string local_host;   // this machine's name for the connection
  int socket = -1;          // -1 once closed
  std::uint32_t count = 0;  // bytes not yet consumed in the buffer
  const char* next_byte = nullptr;
  std::array<char, 8192> buffer;
  std::unique_ptr<tls_session> tls;  // set once TLS runs over the socket

  tcp_stream() = default;
  tcp_stream(const tcp_stream&) = delete;
  tcp_stream& operator=(const tcp_stream&) = delete;
  ~tcp_stream();  // closes the socket if still open
};

// Opens a connection to "host", "host:port" or "[a.b.c.d]" (the ":port" suffix
// is cut off the text and replaces port). Null on failure, reported at the
// error level.
std::unique_ptr<tcp_stream> tcp_open(std::string& host, long port);

// Longest line a peer may send (1 MiB): past it the line is refused with a
// report and the connection closed, so a peer cannot make us hold more.
constexpr std::size_t kTcpLineLimit = std::size_t{1} << 20;

// The next line without its CR LF; nothing when the connection is gone before
// any byte of the line, or when the line passes kTcpLineLimit.
std::optional<std::string> tcp_read_line(tcp_stream& stream);

// Exactly size bytes into destination, followed by a zero byte (destination
// holds size + 1); false when the connection is gone.
bool tcp_read_block(tcp_stream& stream, std::uint32_t size, char* destination);

// Sends every byte; false when the connection is gone.
bool tcp_send(tcp_stream& stream, std::string_view bytes);
bool tcp_send_text(tcp_stream& stream, const char* text);

// Closes the socket and frees the stream.
void tcp_close(std::unique_ptr<tcp_stream>& stream);

const std::string& tcp_remote_host(const tcp_stream& stream);
const std::string& tcp_local_host(const tcp_stream& stream);

// Parameters of the transport, answered for mail_parameters.
enum : long {
  GET_READ_TIMEOUT = 302,
  SET_READ_TIMEOUT = 303,
  GET_WRITE_TIMEOUT = 304,
  SET_WRITE_TIMEOUT = 305,
  GET_TIMEOUT = 308,
  SET_TIMEOUT = 309,
};

// Called when a wait times out, with the seconds since it began; zero gives up.
// Without one, the application's on_timeout decides.
using tcp_timeout_handler = long (*)(long seconds);

void* tcp_parameters(long code, void* value);

// Streams now open (the sockets start-up count lives in the platform layer).
unsigned tcp_open_streams();
