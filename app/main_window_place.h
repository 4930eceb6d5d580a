#pragma once

#include <QRect>
#include <optional>
#include <string>
#include <string_view>

class QWidget;
struct velmar_settings;

// The main window's place on the screen, kept in the profile from one run to
// the next ("left,top,width,height" and whether it was maximised).

// The rectangle of a kept place; nothing when the text is not one.
std::optional<QRect> window_rect_of(std::string_view text);
std::string window_rect_text(const QRect& rect);

// Where the window goes on a screen's free area: the kept rectangle cut to
// the area's size and moved into it; without one, most of the area, centred.
QRect fitted_window_rect(const std::optional<QRect>& kept, const QRect& available);

// Places the window as it was left (maximised unless it was not) and shows it.
void show_main_window(QWidget& frame, const velmar_settings& settings);
// Notes the window's place for the profile.
void keep_main_window_place(const QWidget& frame, velmar_settings& settings);
