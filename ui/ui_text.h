#pragma once

#include <QString>
#include <string>
#include <string_view>

// Texts at the widget boundary. The program's own texts are UTF-8; the 8-bit
// text of letters goes through the display code page of the application.

inline QString qstr(std::string_view utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

inline std::string utf8(const QString& text) {
  return text.toUtf8().toStdString();
}

// Letter bytes as screen text, through the application's display code page.
QString display_text(std::string_view bytes);

// Screen text as letter bytes in the display code page.
std::string display_bytes(const QString& text);

// The framework's "%1" message with its argument filled in.
std::string ui_format(std::string_view message, std::string_view argument);
