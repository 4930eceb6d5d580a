#pragma once

#include <string>
#include <utility>
#include <vector>

#include "message/callbacks.h"

// Collects what the library reports while it lives; restores the old
// callbacks afterwards. Tests add the other callbacks they need.
class log_capture {
 public:
  struct entry {
    std::string text;
    long level;
    bool operator==(const entry&) const = default;
  };

  explicit log_capture(mail_callbacks extra = {}) {
    extra.on_log = [this](std::string_view text, long level) {
      entries_.push_back({std::string(text), level});
    };
    old_ = mail_set_callbacks(std::move(extra));
  }
  ~log_capture() { mail_set_callbacks(std::move(old_)); }
  log_capture(const log_capture&) = delete;
  log_capture& operator=(const log_capture&) = delete;

  const std::vector<entry>& entries() const { return entries_; }
  std::vector<std::string> texts() const {
    std::vector<std::string> result;
    for (const entry& e : entries_)
      result.push_back(e.text);
    return result;
  }

 private:
  std::vector<entry> entries_;
  mail_callbacks old_;
};

inline void PrintTo(const log_capture::entry& e, std::ostream* out) {
  *out << "{\"" << e.text << "\", level " << e.level << "}";
}
