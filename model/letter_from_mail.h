#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "message/body_section.h"
#include "message/records.h"
#include "model/aletter.h"

struct mail_stream;

// Letters made from what the mail library fetched, as the fetch routine
// makes them.

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
