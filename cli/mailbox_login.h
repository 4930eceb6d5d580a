#pragma once

#include <string>

// Answers the mail library's login requests for a command that opens a
// server mailbox: the user given with --user, and the password from the
// environment variable KESTREL_PASSWORD or, on a terminal, asked for without
// echo (once; later trials repeat it).
void cli_install_login(std::string user);
