#pragma once

#include <string>
#include <string_view>

struct mail_driver;

// A parsed remote mailbox name: "{host:port/option...}mailbox", with a
// leading "*" for a bulletin board.
struct remote_name {
  std::string host;     // at most 1023 characters
  std::string mailbox;  // at most 1023 characters
  std::string service;  // at most 23 characters
  long port = 0;        // 0: the service's default
  bool anonymous = false;
  bool bboard = false;
  bool debug = false;
  bool tls = false;       // "/tls": TLS from the first byte, on any port
  bool starttls = false;  // "/starttls": the upgrade is required, not only tried
};

// "{host:port/tls/starttls}" of a parsed name, each part only when it is set
// (the port when it is not 0): the server a name is on, for names made anew.
std::string remote_server_text(const remote_name& name);

// True when the name is a remote mailbox name; fills the result.
bool mail_parse_remote_name(std::string_view name, remote_name& result);

// The driver when the name is a remote mailbox name of its service ("imap"
// belongs to every driver whose name begins with "imap"); also gives the host
// and the mailbox when places are given. Null otherwise.
mail_driver* mail_check_remote_name(std::string_view name, mail_driver* driver,
                                    std::string* host = nullptr, std::string* mailbox = nullptr);
