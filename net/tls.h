#pragma once

#include <cstddef>
#include <string>
#include <string_view>

struct tcp_stream;
struct ssl_st;

// TLS under a TCP stream: the stream's reads and writes then carry their bytes
// through it, under the same time-outs, on_wait and bounds as plain ones.

// The TLS state of a stream; made by tls_start, freed with the stream.
struct tls_session {
  explicit tls_session(ssl_st* ssl) : ssl(ssl) {}
  ~tls_session();
  tls_session(const tls_session&) = delete;
  tls_session& operator=(const tls_session&) = delete;
  ssl_st* ssl;
};

// Starts TLS on a connected stream with nothing unread: the handshake, then
// the server's certificate checked against the system's store (and the file
// of tls_trust_file) and for the name `host` ("name", "[a.b.c.d]" or a bare
// address). False after a report that names the cause (unknown issuer,
// expired, wrong host name, a broken handshake); the connection is closed.
bool tls_start(tcp_stream& stream, std::string_view host);

// One more certificate or authority file (PEM) to trust beside the system's
// store, for a server of one's own; an empty path trusts the store alone.
void tls_trust_file(std::string path);

// Up to size decrypted bytes into `into`; 0 when the connection is gone (it
// is then closed).
std::size_t tls_receive(tcp_stream& stream, char* into, std::size_t size);

// Sends every byte encrypted; false when the connection is gone.
bool tls_send(tcp_stream& stream, std::string_view bytes);

// Tells the server that the stream ends (a close_notify), as far as it goes
// without waiting.
void tls_say_goodbye(tcp_stream& stream);
