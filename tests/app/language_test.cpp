#include "app/language.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTranslator>

#include "tests/support/table.h"

namespace {

struct locale_row {
  std::string name;
  QLocale locale;
  QString file;
  QString yes;  // "&Yes" of the standard buttons, as Qt then shows it
};

class Translation : public testing::TestWithParam<locale_row> {};

TEST_P(Translation, ChineseUnlessTheUserSpeaksAnother) {
  const locale_row& row = GetParam();
  EXPECT_EQ(qt_translation_name(row.locale), row.file);
  QTranslator translator;
  ASSERT_TRUE(install_qt_translation(translator, row.locale)) << row.file.toStdString();
  EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&Yes"), row.yes);
  QCoreApplication::removeTranslator(&translator);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Translation,
    testing::Values(
        locale_row{"Unset", QLocale::c(), "qtbase_zh_CN", QString::fromUtf8("是(&Y)")},
        locale_row{"Mainland", QLocale("zh_CN"), "qtbase_zh_CN", QString::fromUtf8("是(&Y)")},
        locale_row{"Singapore", QLocale("zh_SG"), "qtbase_zh_CN", QString::fromUtf8("是(&Y)")},
        locale_row{"Taiwan", QLocale("zh_TW"), "qtbase_zh_TW", QString::fromUtf8("是(&Y)")},
        locale_row{"HongKong", QLocale("zh_HK"), "qtbase_zh_TW", QString::fromUtf8("是(&Y)")},
        locale_row{"German", QLocale("de_DE"), "qtbase_de_DE", "&Ja"}),
    row_name());

TEST(Translation, AnEnglishUserKeepsQtsOwnTexts) {
  QTranslator translator;
  install_qt_translation(translator, QLocale("en_US"));
  EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&Yes"), "&Yes");
  QCoreApplication::removeTranslator(&translator);
}

}  // namespace
