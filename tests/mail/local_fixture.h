#pragma once

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

#include "mail/cache.h"
#include "mail/fetch.h"
#include "mail/fields.h"
#include "mail/literal.h"
#include "mail/local_drivers.h"
#include "mail/mailbox_file.h"
#include "mail/open_close.h"
#include "mail/parameters.h"
#include "mail/setflag_expunge.h"
#include "mail/stream.h"
#include "message/text_source.h"
#include "platform/environment.h"
#include "platform/file_names.h"
#include "tests/support/file_text.h"
#include "tests/support/log_capture.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/table.h"

// Local mailbox files in a fresh home directory, with the four local drivers
// linked in their order. Names are relative to the home directory.
class LocalMailboxes : public testing::Test {
 protected:
  void SetUp() override {
    env_parameters(SET_HOME_DIR, home_.data());
    for (mail_driver* driver : {&bezrkdos_driver, &tenexdos_driver, &dawz_driver, &dummy_driver})
      mail_link_driver(driver);
    mail_parameters(nullptr, SET_MAILBOX_EXTENSION, nullptr);
    mail_parameters(nullptr, SET_LITERAL_READER, nullptr);
    log_ = std::make_unique<log_capture>(callbacks());
  }
  void TearDown() override {
    if (stream_) mail_close(stream_);
    log_.reset();
  }

  // Tests that need more callbacks add to these.
  virtual mail_callbacks callbacks() {
    mail_callbacks table;
    table.on_notify = [this](mail_stream*, std::string_view text, long) {
      notes_.emplace_back(text);
    };
    return table;
  }

  std::string path(const std::string& name) const { return host_path(*mailbox_file(name)); }
  void write(const std::string& name, const std::string& bytes) const {
    std::ofstream(path(name), std::ios::binary) << bytes;
  }
  std::string read(const std::string& name) const { return file_text(path(name)); }
  bool exists(const std::string& name) const { return std::filesystem::exists(path(name)); }

  // Opens the mailbox as stream_ (closed at the end of the test, or when the
  // next one opens); says what was logged when it does not open.
  testing::AssertionResult opens(const std::string& name, long options = 0) {
    if (stream_) mail_close(stream_);
    stream_ = mail_open(nullptr, name, options);
    if (stream_) return testing::AssertionSuccess();
    return testing::AssertionFailure()
           << name << " does not open: " << testing::PrintToString(texts());
  }

  // Writes the mailbox file and opens it.
  testing::AssertionResult opens(const std::string& name, const std::string& bytes) {
    write(name, bytes);
    return opens(name);
  }

  // Appends through the driver that the name belongs to.
  bool append(mail_driver& driver, const std::string& name, const std::string& message,
              std::optional<std::string_view> flags = std::nullopt,
              std::optional<std::string_view> date = std::nullopt) {
    text_source source;
    text_source_from_memory(source, message);
    return driver.append(driver.open(nullptr), name, flags, date, source);
  }

  std::vector<std::string> texts() const { return log_->texts(); }
  bool logged(const std::string& text) const {
    const std::vector<std::string> all = texts();
    return std::ranges::find(all, text) != all.end();
  }

  scratch_folder folder_;
  std::string home_ = folder_.path();
  std::unique_ptr<log_capture> log_;
  std::vector<std::string> notes_;  // what on_notify was told
  mail_stream* stream_ = nullptr;
};

// A tenexdos message: its internal header line and text.
inline std::string tenex_message(const std::string& text, const std::string& flags = "000000000000",
                                 const std::string& date = " 5-Dec-1996 11:53:20 +0800") {
  return date + "," + std::to_string(text.size()) + ";" + flags + "\n" + text;
}

// The text with every LF made CR LF.
inline std::string with_crlf(const std::string& text) {
  std::string result;
  for (char c : text) {
    if (c == '\n') result += '\r';
    result += c;
  }
  return result;
}

// A literal reader that keeps texts whole (SET_LITERAL_READER).
inline std::string whole_literal(literal_read_fn reader, void* source, std::uint32_t size) {
  std::string text(size, '\0');
  reader(source, size, text.data());
  return text;
}
