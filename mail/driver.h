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
//
// What a result means, family by family. The reason for a failure goes to the
// log callback (mail_log) before the operation returns; nothing throws.
// - valid: the driver when it serves the name, else null (not a failure: the
//   next driver is asked; nothing is logged).
// - parameters: the value asked for, or null for a code the driver does not keep.
// - list and its variants: no result; each name found goes to the mailbox
//   callback, and a failure to read the list is logged.
// - subscribe, unsubscribe, create, delete, rename, copy, move, append: true
//   when done; false when not, the reason logged (at error level).
// - open: the stream, or null when the mailbox cannot be opened (logged; the
//   caller frees the stream). With a null stream: the prototype stream.
// - ping: false when the stream is dead (its driver dropped); the caller
//   closes it.
// - fetchfast, fetchflags, setflag, clearflag, search, check, expunge,
//   release: no result; they change the cache (flags, search marks, message
//   count) and log what they could not do.
// - fetchstructure: the envelope (and the body through the out pointer), or
//   null when the message cannot be read or has gone. fetchheader, fetchtext: the
//   text, empty when it cannot be read. fetchbody: below. Texts belong to the
//   stream until its next fetch.
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
