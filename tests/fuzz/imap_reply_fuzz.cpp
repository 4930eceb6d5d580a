// What a server sends, as a scripted server would send it: the input goes
// over a socket to the IMAP client's reply reader, which parses untagged
// data, envelopes, body structures and literals into a stream's cache.

#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <memory>
#include <string>

#include "mail/cache.h"
#include "mail/stream.h"
#include "net/imap_data.h"
#include "net/imap_driver.h"
#include "net/imap_protocol.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  int pair[2];
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair) != 0) return 0;
  // The input fits the socket's buffer (-max_len); what does not is cut.
  const char* bytes = reinterpret_cast<const char*>(data);
  for (std::size_t sent = 0; sent < size;) {
    ssize_t n = ::send(pair[1], bytes + sent, size - sent, MSG_DONTWAIT | MSG_NOSIGNAL);
    if (n <= 0) break;
    sent += static_cast<std::size_t>(n);
  }
  ::shutdown(pair[1], SHUT_WR);

  mail_stream stream;
  stream.driver = &imap_driver;
  auto local = std::make_unique<imap_local>();
  local->tcp = std::make_unique<tcp_stream>();
  local->tcp->socket = pair[0];
  local->tcp->next_byte = local->tcp->buffer.data();
  stream.local = std::move(local);
  mail_cache(&stream, 0, CACHE_INIT);
  // A tag that never comes: every response is read until the input ends.
  imap_reply(&stream, "Z99999");
  for (std::uint32_t i = 1; i <= stream.nmsgs; ++i) {
    auto* element = static_cast<mail_long_element*>(mail_cache(&stream, i, CACHE_LONG));
    if (!element || !element->body) continue;
    for (const char* section : {"1", "2", "1.1", "2.1.2"})
      imap_section_contents(element->body.get(), section, false);
  }
  mail_free_cache(&stream);
  ::close(pair[1]);
  return 0;
}
