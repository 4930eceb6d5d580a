#pragma once

#include "mail/driver.h"

// The drivers of local mailbox files, in the order of the driver list:
// "bezrkdos" (messages after "From " separator lines; read-only), "tenexdos"
// (an internal header line before each message, LF line ends), "dawz" (the
// same with CR LF, stored as given; the format of new mailboxes) and "dummy"
// (INBOX and empty files, and the operations on mailbox names).
extern mail_driver bezrkdos_driver;
extern mail_driver tenexdos_driver;
extern mail_driver dawz_driver;
extern mail_driver dummy_driver;
