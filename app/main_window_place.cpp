#include "app/main_window_place.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <charconv>

#include "app/velmar_settings.h"

namespace {

// A new window leaves some of a large screen free when it is not maximised.
constexpr int kFirstWidth = 1200;
constexpr int kFirstHeight = 860;

QRect available_area(const std::optional<QRect>& kept) {
  QScreen* screen = kept ? QGuiApplication::screenAt(kept->center()) : nullptr;
  if (!screen) screen = QGuiApplication::primaryScreen();
  return screen ? screen->availableGeometry() : QRect(0, 0, kFirstWidth, kFirstHeight);
}

}  // namespace

std::optional<QRect> window_rect_of(std::string_view text) {
  int numbers[4];
  const char* at = text.data();
  const char* end = text.data() + text.size();
  for (int i = 0; i < 4; ++i) {
    if (i > 0) {
      if (at == end || *at != ',') return std::nullopt;
      ++at;
    }
    auto [next, error] = std::from_chars(at, end, numbers[i]);
    if (error != std::errc()) return std::nullopt;
    at = next;
  }
  if (at != end || numbers[2] <= 0 || numbers[3] <= 0) return std::nullopt;
  return QRect(numbers[0], numbers[1], numbers[2], numbers[3]);
}

std::string window_rect_text(const QRect& rect) {
  return std::to_string(rect.left()) + "," + std::to_string(rect.top()) + "," +
         std::to_string(rect.width()) + "," + std::to_string(rect.height());
}

QRect fitted_window_rect(const std::optional<QRect>& kept, const QRect& available) {
  QRect rect;
  if (kept) {
    rect = *kept;
  } else {
    rect.setSize(QSize(kFirstWidth, kFirstHeight));
    rect.moveCenter(available.center());
  }
  rect.setWidth(std::min(rect.width(), available.width()));
  rect.setHeight(std::min(rect.height(), available.height()));
  rect.moveLeft(std::clamp(rect.left(), available.left(), available.right() - rect.width() + 1));
  rect.moveTop(std::clamp(rect.top(), available.top(), available.bottom() - rect.height() + 1));
  return rect;
}

void show_main_window(QWidget& frame, const velmar_settings& settings) {
  std::optional<QRect> kept = window_rect_of(settings.main_window);
  frame.setGeometry(fitted_window_rect(kept, available_area(kept)));
  if (settings.main_window_maximized)
    frame.showMaximized();
  else
    frame.show();
}

void keep_main_window_place(const QWidget& frame, velmar_settings& settings) {
  settings.main_window = window_rect_text(frame.normalGeometry());
  settings.main_window_maximized = frame.isMaximized() ? 1 : 0;
}
