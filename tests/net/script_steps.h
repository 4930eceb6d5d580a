#pragma once

#include <string>
#include <vector>

#include "tests/support/script_server.h"

using server = script_server;
using steps = std::vector<script_server::step>;

inline steps operator+(steps a, const steps& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// For each reply in turn: read a line of the client's, then send the reply
// with CR LF.
inline steps replies(const std::vector<std::string>& texts) {
  steps script;
  for (const std::string& text : texts) {
    script.push_back(server::read_line());
    script.push_back(server::send(text + "\r\n"));
  }
  return script;
}
