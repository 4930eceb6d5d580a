#pragma once

#include "mail/driver.h"

// The "imap2" driver: mailboxes on an IMAP server, named "{host}mailbox".
extern mail_driver imap_driver;

// Parameters of the IMAP driver (a get code is even, its set code odd).
enum : long {
  GET_MAXLOGINTRIALS = 400,  // login attempts; 3
  SET_MAXLOGINTRIALS = 401,
  GET_LOOKAHEAD = 402,  // messages one envelope fetch covers; 20
  SET_LOOKAHEAD = 403,
  GET_IMAPPORT = 404,  // server port when the name gives none; 0 is 143
  SET_IMAPPORT = 405,
  GET_PREFETCH = 406,  // fetch the text with the header; 1
  SET_PREFETCH = 407,
  GET_LOGINFULLNAME = 408,  // ask for the login with the server's own name; 0
  SET_LOGINFULLNAME = 409,
  GET_CLOSEONERROR = 410,  // close instead of staying half-open; 0
  SET_CLOSEONERROR = 411,
};

void* imap_parameters(long code, void* value);

// The value of a numeric parameter of the driver.
long imap_parameter(long get_code);
