#pragma once

#include <QLocale>
#include <QString>

class QTranslator;

// Qt's own texts (the standard buttons, the file dialogs) in the user's
// language, and in Chinese when the locale is Chinese or unset (C, POSIX);
// the program's own texts are Chinese already.

// The name of Qt's translation file for a locale: "qtbase_zh_CN",
// "qtbase_zh_TW" (Taiwan, Hong Kong, Macao, traditional script), or
// "qtbase_" and the locale's name.
QString qt_translation_name(const QLocale& locale);

// Loads that file from Qt's translations folder and installs it; false when
// there is none.
bool install_qt_translation(QTranslator& translator, const QLocale& locale = QLocale::system());
