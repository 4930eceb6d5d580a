#pragma once

#include "letter/viewer_host.h"
#include "model/letter_format.h"

class ui_document;

// New, Reply, Forward and Redirect: each opens the composer on the mailbox
// and fills it from the mailbox's current letter. The viewer's speak English
// and quote by its rules, the list's speak Chinese.
enum class letter_command { compose_new, reply, forward, redirect };

// The command ids of the buttons that start them, on both button rows.
letter_command letter_command_of(int id);

void run_letter_command(letter_command command, viewer_host& host, ui_document& document,
                        letter_labels labels);
