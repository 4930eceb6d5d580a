#pragma once

#include "ui/ui_menu.h"

// The menu without a document (resource 2) and the menu of a mailbox list
// (resource 3). In both, the mailbox pop-up is the second.
const ui_menu_resource& main_menu();
const ui_menu_resource& mailbox_menu();

inline constexpr int kMailboxPopup = 1;
// Positions in the mailbox pop-up: In, Out, Trash, a separator, New, Delete,
// then the separator before the user mailboxes and the user mailboxes.
inline constexpr int kUserMailboxSeparator = 6;
inline constexpr int kFirstUserMailbox = 7;
