#pragma once

#include <memory>
#include <string>
#include <vector>

#include "mail/stream.h"
#include "net/tcp.h"

// One parsed server response: the whole line and its three pieces.
struct imap_response {
  std::string line;
  std::string tag;
  std::string key;
  std::string text;
};

// What the server sent of one message besides its envelope and body.
struct imap_message_texts {
  mail_text header;
  mail_text text;
};

// The IMAP driver's data of a stream: the connection, the last response, what
// the server turned out to accept, and the texts fetched so far.
struct imap_local : mail_local {
  std::unique_ptr<tcp_stream> tcp;  // null once the connection is gone
  imap_response reply;
  bool use_full = true;                   // FETCH ... FULL; cleared when answered BAD
  bool use_find = true;                   // FIND MAILBOXES; cleared when answered BAD
  bool use_find_bboards = true;           // FIND BBOARDS; cleared when answered BAD
  std::vector<std::string> capabilities;  // upper-cased, as the server last said them
  bool capabilities_known = false;
  std::string host;                       // "host" or "host:port" as connected to
  std::string prefix;                     // "{host}" before reported mailbox names
  std::vector<imap_message_texts> texts;  // slot i-1: message i
};

// Whether the server said it has the capability (upper case).
bool imap_capable(const imap_local& local, std::string_view capability);

// The stream's IMAP data, or null when the stream is not an IMAP stream.
imap_local* imap_local_of(mail_stream* stream);

// The header and text slot of a message, made when missing.
imap_message_texts& imap_texts(imap_local& local, std::uint32_t msgno);
