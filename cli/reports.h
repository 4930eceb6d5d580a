#pragma once

// Sends the library's reports to standard error, each with its level.
void cli_install_reports();
