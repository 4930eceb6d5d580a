#pragma once

#include <QPixmap>

// The pictures of the program's buttons, 32 by 32 pixels: a raised button
// for up, a pressed one for down, with a small drawing on it.
enum class button_picture {
  previous,
  next,
  compose,
  reply,
  reply_all,
  forward,
  redirect,
  trash,
  save,
  move,
  remove,
  print,
  close,
};

QPixmap ui_button_picture(button_picture what, bool down);

inline constexpr int kButtonSide = 32;
