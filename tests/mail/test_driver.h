#pragma once

#include <map>
#include <string>
#include <vector>

#include "mail/driver.h"
#include "mail/open_close.h"
#include "mail/stream.h"

// A mailbox driver for tests. Its mailboxes live in memory and are named
// "mem:NAME"; every operation it is asked for is written to a call list.
struct memory_message {
  std::string from_personal{};  // empty: none
  std::string from_mailbox{};
  std::string from_host{};  // empty: an address without host
  std::string subject{};    // empty: none
  std::string header{};
  std::string text{};
};

struct memory_mailbox {
  std::vector<memory_message> messages;
  bool refuse_open = false;
};

std::map<std::string, memory_mailbox>& memory_mailboxes();
std::vector<std::string>& memory_calls();
std::string& memory_extension();

// "memory" takes "mem:..." names; "dummy" takes "dummy:..." names and opens
// them empty. Both answer parameter kNameParameter with their own name and
// 602 (the mailbox extension) with what memory_extension() holds.
constexpr long kNameParameter = 999;
extern mail_driver memory_driver;
extern mail_driver memory_dummy_driver;

// Links memory_driver then memory_dummy_driver, the same order every time, and
// forgets earlier mailboxes and calls.
void link_memory_drivers();
