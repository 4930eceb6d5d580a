#pragma once

#include <string>

#include "mail/remote_name.h"
#include "mail/stream.h"

// Opening and closing IMAP streams, and the connections other operations borrow.

mail_stream* imap_open(mail_stream* stream);
void imap_close(mail_stream* stream);

// Whether the stream is connected to the server that the name is on.
bool imap_same_server(mail_stream* stream, const remote_name& name);

// "host" or "host:port" of a parsed name, as the connection is made to it.
std::string imap_host_text(const remote_name& name);

// A stream connected to the server of `name`: the given stream when it is
// connected there already, else a new half-open one (temporary is then set;
// close it after use). Null when no connection can be made.
mail_stream* imap_borrow_connection(mail_stream* stream, const remote_name& name, bool& temporary);
