#pragma once

// What the transport's files share: the time-outs and the open stream count.

struct tcp_stream;

struct tcp_settings {
  long read_timeout = 0;   // seconds; 0 waits without limit
  long write_timeout = 0;  // seconds; 0 waits without limit
  long (*timeout_handler)(long seconds) = nullptr;
  unsigned open_streams = 0;
};

tcp_settings& tcp_state();

// Closes the stream's socket if it is open; the last one ends the sockets use.
void tcp_abort(tcp_stream& stream);

// Waits until the socket can be read (for_writing false) or written; false
// when the wait failed or timed out for good (the socket is then closed).
bool tcp_wait(tcp_stream& stream, bool for_writing);
