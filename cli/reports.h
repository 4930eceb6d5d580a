#pragma once

#include "message/callbacks.h"

// Sends the library's reports to standard error, each with its level.
void cli_install_reports();

// The callbacks that do so, for commands that add callbacks of their own.
mail_callbacks cli_report_callbacks();

// How many reports at the error level there have been.
unsigned cli_errors_reported();
