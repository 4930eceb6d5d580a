#pragma once

// The program's resources: menus, dialogs, commands, controls and bitmaps, by
// their numbers.

#include "letter/letter_ids.h"

// Menus and document templates.
enum : int {
  IDR_MAINFRAME = 2,   // the menu without a document
  IDR_VELMARTYPE = 3,  // the menu of a mailbox list
  IDR_PARTTYPE = 4,    // the other views of a mailbox
};

// Commands of the program.
enum : int {
  ID_MAILBOX_IN = 32781,
  ID_MAILBOX_OUT = 32782,
  ID_MAILBOX_TRASH = 32783,
  ID_MAILBOX_NEW = 32784,
  ID_MAILBOX_DELETE = 32785,
  ID_SETTING_PATHS = 32793,
  ID_USER_MAILBOX_FIRST = 32800,  // a block of kUserMailboxSlots, one per user mailbox
  ID_FETCH_MAIL = 33000,
  ID_SETTING_NETWORK = 30000,
  ID_SETTING_CHINESE = 30010,
};

inline constexpr int kUserMailboxSlots = 15;

// Dialogs.
enum : int {
  IDD_ABOUTBOX = 100,
  IDD_NEW_MAILBOX = 114,
  IDD_DELETE_MAILBOX = 116,
  IDD_NETWORK = 117,
  IDD_FETCH = 118,
  IDD_MOVE = 119,
  IDD_CHINESE = 156,
  IDD_ENVIRONMENT = 161,
  IDD_PATHS = 163,
};

// Controls of the dialogs.
enum : int {
  IDC_NEW_CREATE_LABEL = 1011,
  IDC_NEW_NAME_LABEL = 1012,
  IDC_NEW_NAME = 1014,
  IDC_MAILBOX_LIST = 1017,
  IDC_MAILBOX_LABEL = 1018,
  IDC_ACCOUNT = 1025,
  IDC_REAL_NAME = 1026,
  IDC_SMTP_SERVER = 1027,
  IDC_RETURN_ADDRESS = 1028,
  IDC_CHECK_INTERVAL = 1029,
  IDC_FETCH_USER_LABEL = 1037,
  IDC_FETCH_PASSWORD_LABEL = 1039,
  IDC_FETCH_PASSWORD = 1040,
  IDC_PLATFORM_GB = 1044,
  IDC_PLATFORM_BIG5 = 1046,
  IDC_LINK_7BIT = 1047,
  IDC_LINK_8BIT = 1048,
  IDC_LINK_NETWORK = 1049,
  IDC_CODE_CN_GB = 1050,
  IDC_CODE_CN_BIG5 = 1051,
  IDC_CODE_ISO_2022_CN = 1052,
  IDC_CODE_US_ASCII = 1053,
  IDC_FETCH_DELETE = 1054,
  IDC_CODE_OTHER = 1055,
  IDC_CODE_OTHER_NAME = 1056,
  IDC_SYSTEM_WIN3 = 1050,
  IDC_SYSTEM_WIN95 = 1051,
  IDC_SYSTEM_NT = 1052,
  IDC_IN_PATH = 1066,
  IDC_OUT_PATH = 1067,
  IDC_TRASH_PATH = 1068,
  IDC_WORK_DIRECTORY = 1074,
};

// The message list's list box; its buttons are the letter buttons.
enum : int {
  IDC_LETTER_LIST = 500,
};

// The pictures of the list's buttons, up and down.
enum : int {
  IDB_TRASH_UP = 104,
  IDB_PRINT_UP = 106,
  IDB_FORWARD_UP = 108,
  IDB_REDIRECT_UP = 109,
  IDB_REPLY_UP = 110,
  IDB_REPLY_ALL_UP = 111,
  IDB_TRASH_DOWN = 113,
  IDB_REPLY_ALL_DOWN = 126,
  IDB_PRINT_DOWN = 128,
  IDB_REPLY_DOWN = 129,
  IDB_FORWARD_DOWN = 130,
  IDB_REDIRECT_DOWN = 132,
  IDB_SAVE_UP = 135,
  IDB_DELETE_UP = 136,
  IDB_MOVE_UP = 137,
  IDB_CLOSE_UP = 138,
  IDB_SAVE_DOWN = 146,
  IDB_MOVE_DOWN = 148,
  IDB_DELETE_DOWN = 149,
  IDB_CLOSE_DOWN = 150,
};
