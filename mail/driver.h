#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

struct mail_stream;
struct mail_envelope;
struct mail_body;
struct text_source;

// One driver's table: its name, the next driver of the list and 31 operations
// in a fixed slot order. Drivers are static records that live for the run.
struct mail_driver {
  const char* name;
  mail_driver* next;
  mail_driver* (*valid)(std::string_view name);
  void* (*parameters)(long code, void* value);
  void (*list)(mail_stream* stream, std::string_view pattern);
  void (*list_bboards)(mail_stream* stream, std::string_view pattern);
  void (*list_all)(mail_stream* stream, std::string_view pattern);
  void (*list_all_bboards)(mail_stream* stream, std::string_view pattern);
  bool (*subscribe)(mail_stream* stream, std::string_view mailbox);
  bool (*unsubscribe)(mail_stream* stream, std::string_view mailbox);
  bool (*subscribe_bboard)(mail_stream* stream, std::string_view name);
  bool (*unsubscribe_bboard)(mail_stream* stream, std::string_view name);
  bool (*create)(mail_stream* stream, std::string_view mailbox);
  bool (*delete_)(mail_stream* stream, std::string_view mailbox);
  bool (*rename)(mail_stream* stream, std::string_view old_name, std::string_view new_name);
  // With a null stream, returns the driver's prototype stream.
  mail_stream* (*open)(mail_stream* stream);
  void (*close)(mail_stream* stream);
  void (*fetchfast)(mail_stream* stream, std::string_view sequence);
  void (*fetchflags)(mail_stream* stream, std::string_view sequence);
  mail_envelope* (*fetchstructure)(mail_stream* stream, std::uint32_t msgno, mail_body** body);
  std::string_view (*fetchheader)(mail_stream* stream, std::uint32_t msgno);
  std::string_view (*fetchtext)(mail_stream* stream, std::uint32_t msgno);
  // The text of one body part, or nothing for an empty, malformed or missing section.
  std::optional<std::string_view> (*fetchbody)(mail_stream* stream, std::uint32_t msgno,
                                               std::string_view section);
  void (*setflag)(mail_stream* stream, std::string_view sequence, std::string_view flags);
  void (*clearflag)(mail_stream* stream, std::string_view sequence, std::string_view flags);
  void (*search)(mail_stream* stream, std::string_view criteria);
  bool (*ping)(mail_stream* stream);
  void (*check)(mail_stream* stream);
  void (*expunge)(mail_stream* stream);
  bool (*copy)(mail_stream* stream, std::string_view sequence, std::string_view mailbox);
  bool (*move)(mail_stream* stream, std::string_view sequence, std::string_view mailbox);
  // flags and date may be absent.
  bool (*append)(mail_stream* stream, std::string_view mailbox,
                 std::optional<std::string_view> flags, std::optional<std::string_view> date,
                 text_source& message);
  void (*release)(mail_stream* stream, long options);
};
