#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/aletter.h"
#include "message/records.h"

struct mail_stream;

// Letters made from what the mail library fetched, as the fetch routine
// makes them.

// The sections of the parts whose texts the fetch routine fetches: the
// leaves of the body, and each embedded message as well as its own leaves,
// numbered "1", "2.1"... as servers number them.
std::vector<std::string> leaf_sections(const mail_body& body);

// The model body of a mail library body: only the first parameter kept,
// base64 and quoted-printable undone, text as a string and other contents
// in a block of their own. False when memory for a block is short.
bool body_from_mail(const mail_body& body, CBody& out);

// The letter of message msgno of an open stream: every leaf part fetched
// (and its text put into the stream's body structure where the driver did
// not), then flags "N  " with the size, the From item, subject, date and
// the converted body. The fetched texts are let go again afterwards. Null
// when the message's structure cannot be had or memory is short.
std::unique_ptr<CAletter> letter_from_stream(mail_stream* stream, std::uint32_t msgno);
