#pragma once

#include <cstdint>
#include <memory>

#include "message/records.h"

// What a driver has learnt about one message. The date, time, zone, flags and
// state are packed in two 32-bit words with fixed bit ranges (bit 0 lowest).
struct mail_element {
  std::uint32_t msgno = 0;  // 1-based; 0 once the message is expunged

  // Time and system flags word.
  std::uint32_t hours : 5 = 0;      // bits 0-4
  std::uint32_t minutes : 6 = 0;    // bits 5-10
  std::uint32_t seconds : 6 = 0;    // bits 11-16
  std::uint32_t zoccident : 1 = 0;  // bit 17: west of Greenwich, printed "-"
  std::uint32_t zhours : 4 = 0;     // bits 18-21
  std::uint32_t zminutes : 6 = 0;   // bits 22-27
  std::uint32_t seen : 1 = 0;       // bit 28
  std::uint32_t deleted : 1 = 0;    // bit 29
  std::uint32_t flagged : 1 = 0;    // bit 30
  std::uint32_t answered : 1 = 0;   // bit 31

  // State and date word.
  std::uint32_t unused_bit : 1 = 0;  // bit 0
  std::uint32_t parsed : 1 = 0;      // bit 1: a local driver read its internal header
  std::uint32_t recent : 1 = 0;      // bit 2
  std::uint32_t searched : 1 = 0;    // bit 3
  std::uint32_t sequence : 1 = 0;    // bit 4: chosen by the last mail_select_sequence
  std::uint32_t spare_bits : 3 = 0;  // bits 5-7
  std::uint32_t lockcount : 8 = 0;   // bits 8-15
  std::uint32_t day : 5 = 0;         // bits 16-20: 1-31
  std::uint32_t month : 4 = 0;       // bits 21-24: 1-12
  std::uint32_t year : 7 = 0;        // bits 25-31: years since 1969 (1969-2096)

  std::uint32_t user_flags = 0;   // bit i: the stream's user flag name i
  std::uint32_t rfc822_size = 0;  // size with CRLF line ends; 0 until computed
  std::uint32_t data1 = 0;        // private to the driver
  std::uint32_t data2 = 0;        // private to the driver
};

// System flags as numbers, as flag lists and the local mailbox files use them.
enum : unsigned { FLAG_SEEN = 1, FLAG_DELETED = 2, FLAG_FLAGGED = 4, FLAG_ANSWERED = 8 };

// A long element adds the parsed envelope and body (null until parsed). The
// cache holds long elements in both modes; in short-cache mode the two pointers
// stay unused and the stream's current envelope and body stand in for them.
struct mail_long_element : mail_element {
  std::unique_ptr<mail_envelope> envelope;
  std::unique_ptr<mail_body> body;
};
