#include "app/language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

QString qt_translation_name(const QLocale& locale) {
  if (locale.language() == QLocale::C) return "qtbase_zh_CN";
  if (locale.language() == QLocale::Chinese) {
    const bool traditional = locale.script() == QLocale::TraditionalChineseScript ||
                             locale.territory() == QLocale::Taiwan ||
                             locale.territory() == QLocale::HongKong ||
                             locale.territory() == QLocale::Macao;
    return traditional ? "qtbase_zh_TW" : "qtbase_zh_CN";
  }
  return "qtbase_" + locale.name();
}

bool install_qt_translation(QTranslator& translator, const QLocale& locale) {
  if (!translator.load(qt_translation_name(locale),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    return false;
  return QCoreApplication::installTranslator(&translator);
}
