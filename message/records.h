#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

// The records of a parsed message, shared by the whole mail library. Every
// record owns what it points to; lists are singly linked through `next`.

using mail_text = std::optional<std::string>;  // a text that may be absent

// One element of an address list. Groups are kept flat: a group start has a
// mailbox (the group name) and no host, a group end has neither.
struct mail_address {
  mail_text personal;  // display name, quotes and escapes removed
  mail_text route;     // source route of a route address, without the ":"
  mail_text mailbox;   // local part, or the group name
  mail_text host;      // domain; "@..." stands for a missing host
  mail_text error;     // the SMTP server's reply when this recipient was refused
  std::unique_ptr<mail_address> next;

  mail_address() = default;
  mail_address(mail_address&&) = default;
  mail_address& operator=(mail_address&&) = default;
  ~mail_address();  // frees the rest of the list without deep recursion
};

struct mail_envelope {
  mail_text resent_header;  // whole header of a letter being redirected
  std::unique_ptr<mail_address> return_path;
  mail_text date;
  std::unique_ptr<mail_address> from;
  std::unique_ptr<mail_address> sender;
  std::unique_ptr<mail_address> reply_to;
  mail_text subject;
  std::unique_ptr<mail_address> to;
  std::unique_ptr<mail_address> cc;
  std::unique_ptr<mail_address> bcc;
  mail_text in_reply_to;
  mail_text message_id;
  mail_text newsgroups;
};

struct mail_parameter {
  mail_text attribute;  // upper case
  mail_text value;      // quotes removed
  std::unique_ptr<mail_parameter> next;

  mail_parameter() = default;
  mail_parameter(mail_parameter&&) = default;
  mail_parameter& operator=(mail_parameter&&) = default;
  ~mail_parameter();
};

// Fixed indexes of the body type and transfer encoding name tables.
enum : std::uint16_t {
  TYPE_TEXT = 0,
  TYPE_MULTIPART = 1,
  TYPE_MESSAGE = 2,
  TYPE_APPLICATION = 3,
  TYPE_AUDIO = 4,
  TYPE_IMAGE = 5,
  TYPE_VIDEO = 6,
  TYPE_OTHER = 7,
};
enum : std::uint16_t {
  ENCODING_7BIT = 0,
  ENCODING_8BIT = 1,
  ENCODING_BINARY = 2,
  ENCODING_BASE64 = 3,
  ENCODING_QUOTED_PRINTABLE = 4,
  ENCODING_OTHER = 5,
};

struct mail_body_part;

struct mail_body {
  std::uint16_t type = TYPE_TEXT;
  std::uint16_t encoding = ENCODING_7BIT;
  mail_text subtype;  // upper case
  std::unique_ptr<mail_parameter> parameter_list;
  mail_text id;
  mail_text description;
  struct message_contents {
    std::unique_ptr<mail_envelope> envelope;
    std::unique_ptr<mail_body> body;
    mail_text text;
    std::uint32_t offset = 0;  // where the embedded message's own body begins
  };
  struct body_contents {
    std::unique_ptr<mail_body_part> part;  // MULTIPART: the first part
    message_contents message;              // MESSAGE
    mail_text text;                        // the other types: the body's bytes
  } contents;
  std::uint32_t lines = 0;
  std::uint32_t bytes = 0;
  std::uint32_t bytes_raw = 0;

  mail_body();
  mail_body(mail_body&&) noexcept;
  mail_body& operator=(mail_body&&) noexcept;
  ~mail_body();
};

struct mail_body_part {
  mail_body body;
  std::uint32_t offset = 0;  // position of the part's content in the whole text
  std::unique_ptr<mail_body_part> next;

  mail_body_part() = default;
  mail_body_part(mail_body_part&&) = default;
  mail_body_part& operator=(mail_body_part&&) = default;
  ~mail_body_part();
};

std::unique_ptr<mail_envelope> mail_new_envelope();
std::unique_ptr<mail_address> mail_new_address();
std::unique_ptr<mail_body> mail_new_body();
void mail_init_body(mail_body& body);
std::unique_ptr<mail_parameter> mail_new_body_parameter();
std::unique_ptr<mail_body_part> mail_new_body_part();

// Free the record and everything it owns, and null the place.
void mail_free_envelope(std::unique_ptr<mail_envelope>& place);
void mail_free_address(std::unique_ptr<mail_address>& place);
void mail_free_body(std::unique_ptr<mail_body>& place);
