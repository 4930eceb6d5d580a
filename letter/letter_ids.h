#pragma once

// The buttons of the letter windows, shared by the message list and the
// viewer.
enum : int {
  IDC_BUTTON_TRASH = 200,
  IDC_BUTTON_REPLY = 201,
  IDC_BUTTON_REPLY_ALL = 202,
  IDC_BUTTON_FORWARD = 203,
  IDC_BUTTON_REDIRECT = 204,
  IDC_BUTTON_PRINT = 205,
  IDC_BUTTON_PREV = 208,
  IDC_BUTTON_NEXT = 209,
  IDC_BUTTON_SAVE = 210,
  IDC_BUTTON_DELETE = 211,
  IDC_BUTTON_CLOSE = 212,
  IDC_BUTTON_MOVE = 213,
};
