#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "mail/element.h"
#include "message/records.h"

struct mail_driver;

// Driver-local data of an open stream; each driver derives its own.
struct mail_local {
  virtual ~mail_local() = default;
};

// One open mailbox. Made by mail_open, freed by mail_close; each driver also
// has a static prototype stream whose only field is the driver.
struct mail_stream {
  mail_driver* driver = nullptr;
  std::unique_ptr<mail_local> local;
  mail_text mailbox;

  // State bits.
  bool lock = false;
  bool debug = false;
  bool silent = false;
  bool readonly = false;
  bool anonymous = false;
  bool short_cache = false;
  bool halfopen = false;

  std::uint16_t use_count = 0;       // a stream in use is emptied, not freed, by mail_close
  std::uint16_t close_sequence = 0;  // tells holders that the stream has been reused
  std::uint32_t nmsgs = 0;           // set only through mail_note_exists and _expunged
  std::uint32_t recent = 0;
  std::uint32_t tag_counter = 0;  // command tags of a protocol driver

  mail_text flag_names;                                   // the server's user flag names
  std::array<mail_text, 30> user_flags;                   // user flag i of an element
  std::uint32_t cache_size = 0;                           // slots in the cache
  std::vector<std::unique_ptr<mail_long_element>> cache;  // slot i-1 is message i

  std::uint32_t current_msgno = 0;  // short-cache mode: whose envelope and body follow
  std::unique_ptr<mail_envelope> current_envelope;
  std::unique_ptr<mail_body> current_body;
  mail_text text;  // the last fetched text of a local driver
};

// A driver's prototype stream: bound to the driver, empty otherwise.
inline mail_stream mail_prototype_stream(mail_driver* driver) {
  mail_stream prototype;
  prototype.driver = driver;
  return prototype;
}

// Options of mail_open.
enum : long {
  OPEN_DEBUG = 0x01,
  OPEN_READONLY = 0x02,
  OPEN_ANONYMOUS = 0x04,
  OPEN_SHORTCACHE = 0x08,
  OPEN_SILENT = 0x10,
  OPEN_PROTOTYPE = 0x20,
  OPEN_HALFOPEN = 0x40,
};

// Options of mail_release.
enum : long { RELEASE_ENVELOPES = 0x02, RELEASE_TEXTS = 0x04 };

// The stream lock guards against re-entry from callbacks; locking twice or
// unlocking an unlocked stream is fatal.
void mail_lock_stream(mail_stream* stream);
void mail_unlock_stream(mail_stream* stream);
