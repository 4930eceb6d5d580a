#pragma once

#include <functional>
#include <initializer_list>
#include <memory>
#include <string_view>
#include <vector>

#include "cli/options.h"
#include "mail/driver.h"
#include "mail/open_close.h"
#include "mail/stream.h"
#include "message/callbacks.h"

// What the mailbox commands share: the whole driver list, so that a name may
// be a local file or a server mailbox ("{host:port}INBOX"); the login to a
// server (--user NAME, the password from KESTREL_PASSWORD or asked on the
// terminal without echo); TLS (--cafile FILE trusts one more certificate or
// authority file; a server without TLS gets the password in clear only with
// --allow-plain); the protocol trace on standard error (--debug); and message
// texts delivered whole.

// The options of a command with the session's own added.
std::vector<cli_option> session_options(std::initializer_list<cli_option> own);

// Sets the network read and write time-outs from --timeout S (60 seconds
// without it), so that a silent server cannot hold a command for ever. False
// after a message when S is not a whole number of seconds from 1 up. The
// drivers must be linked first: the transport answers these parameters.
bool session_timeouts(const cli_parsed& parsed);

// Links the drivers and installs the callbacks: the reports, the login (and
// the consent to a login in clear), the trace, and the command's own (on_searched, on_mailbox...);
// sets the time-outs (a bad --timeout ends the program with the usage code).
void session_start(const cli_parsed& parsed, mail_callbacks own = {});

// Whether a name is a server mailbox or pattern ("{host}..." or "*{host}...").
bool session_remote(std::string_view name);

struct session_stream_close {
  void operator()(mail_stream* stream) const { mail_close(stream); }
};
using session_stream = std::unique_ptr<mail_stream, session_stream_close>;

// Opens a mailbox (OPEN_DEBUG is added with --debug); null after a message
// when it cannot be opened.
session_stream session_open(std::string_view name, long options);

// Whether the sequence names messages of the open mailbox (and marks them);
// false after a message when the mailbox is empty or the sequence does not fit.
// Call it before a driver's operation on messages: the dummy driver stops the
// program when asked about a message of its empty mailbox.
bool session_sequence(mail_stream* stream, const std::string& name, const std::string& sequence);

// A connection to the server of a remote name, logged in but with no mailbox
// selected, for the operations on names; null after a message when it cannot
// be made.
session_stream session_server(std::string_view name);

// The driver for an operation on a name that need not be open: the first
// that recognises it, else (for a local name that is no mailbox yet) the
// dummy driver.
mail_driver* session_driver(std::string_view name);
mail_driver* session_dummy_driver();

// Where an operation on a name (append, create...) goes: its driver, and the
// stream to pass it (a connection of the session's to the server of a server
// name, else the driver's prototype). Nothing after a message when there is no driver or
// the server cannot be reached.
struct session_target {
  mail_driver* driver;
  session_stream server;
  mail_stream* stream;
};
std::optional<session_target> session_target_for(std::string_view name);

// The words of a command that takes count names and the session's options;
// the session is started. Nothing when the words do not fit.
std::optional<cli_parsed> session_names(cli_arguments arguments, std::size_t count);

// Runs an operation on a name through the driver that takes it (a server
// name over a connection of the session's); the exit code.
int session_on_name(const std::string& name,
                    const std::function<bool(mail_driver& driver, mail_stream* stream)>& operation);
