#pragma once

#include <memory>
#include <string>

#include "message/records.h"

// An address list of one element, or of one before the given list.
inline std::unique_ptr<mail_address> address(const std::string& mailbox, const std::string& host,
                                             std::unique_ptr<mail_address> next = nullptr) {
  auto a = mail_new_address();
  a->mailbox = mailbox;
  a->host = host;
  a->next = std::move(next);
  return a;
}

// A letter from Li Hua <li@example.cn> with a plain text body and no
// recipients yet.
struct letter {
  explicit letter(const std::string& text) {
    envelope = mail_new_envelope();
    envelope->return_path = address("li", "example.cn");
    envelope->from = address("li", "example.cn");
    envelope->from->personal = "Li Hua";
    envelope->subject = "Test letter";
    envelope->date = "Sun, 6 Dec 2026 15:00:00 +0800 (CST)";
    envelope->message_id = "<Velmar.1.00.test@example.cn>";
    body = mail_new_body();
    body->contents.text = text;
    body->bytes = static_cast<std::uint32_t>(text.size());
  }
  std::unique_ptr<mail_envelope> envelope;
  std::unique_ptr<mail_body> body;
};
