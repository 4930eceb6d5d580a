#pragma once

#include <string>
#include <vector>

#include "tests/support/script_server.h"

// Scripts of a scripted IMAP server, put together from parts.
using imap_steps = std::vector<script_server::step>;

inline imap_steps operator+(imap_steps a, const imap_steps& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// Greeting, LOGIN (tag A00000) and SELECT (A00001) of a mailbox of one message.
inline imap_steps imap_opened() {
  return {script_server::send("* OK [CAPABILITY IMAP4rev1] ready\r\n"), script_server::read_line(),
          script_server::send("A00000 OK in\r\n"), script_server::read_line(),
          script_server::send("* 1 EXISTS\r\nA00001 OK selected\r\n")};
}
