#pragma once

// What the transport's files share: the time-outs and the open stream count.

#include <chrono>
#include <cstddef>
#include <string_view>

struct tcp_stream;

struct tcp_settings {
  long read_timeout = 0;   // seconds; 0 waits without limit
  long write_timeout = 0;  // seconds; 0 waits without limit
  long (*timeout_handler)(long seconds) = nullptr;
  unsigned open_streams = 0;
  // When on_wait was last asked: a peer that never stops sending is asked
  // about as often as one that never starts.
  std::chrono::steady_clock::time_point wait_asked;
};

tcp_settings& tcp_state();

// Closes the stream's socket if it is open; the last one ends the sockets use.
void tcp_abort(tcp_stream& stream);

// Waits until the socket can be read (for_writing false) or written; false
// when the wait failed, timed out for good or was abandoned by the
// application's on_wait (the socket is then closed). on_wait is asked every
// 250 ms, of silence or of data; a time-out asks the time-out handler, else
// on_timeout.
bool tcp_wait(tcp_stream& stream, bool for_writing);

// The socket's own reads and writes (TLS goes over them): up to size bytes
// after a wait, 0 when the connection is gone; every byte sent, false when it
// is gone. The socket is closed on failure.
std::size_t tcp_socket_receive(tcp_stream& stream, char* into, std::size_t size);
bool tcp_socket_send(tcp_stream& stream, std::string_view bytes);
