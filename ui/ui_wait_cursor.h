#pragma once

// The hourglass while a long job blocks the program; nested ones count.
class ui_wait_cursor {
 public:
  ui_wait_cursor();
  ~ui_wait_cursor();
  ui_wait_cursor(const ui_wait_cursor&) = delete;
  ui_wait_cursor& operator=(const ui_wait_cursor&) = delete;

  // How many are shown now.
  static int depth();
};
