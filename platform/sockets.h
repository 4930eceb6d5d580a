#pragma once

// The sockets start-up count shared by the local host name look-up and the TCP
// transport. POSIX sockets need no start-up; the count is kept so that the
// layers above keep their bookkeeping.

// Counts one more user.
void sockets_start();

// The number of users since the last reset.
unsigned sockets_start_count();

// Ends the sockets use: the count goes back to 0.
void sockets_reset();
