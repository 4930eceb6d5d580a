#include "ui/ui_print.h"

#include <gtest/gtest.h>

#include <QFontDatabase>
#include <QPrinter>
#include <algorithm>

#include "tests/support/file_text.h"
#include "tests/support/table.h"
#include "tests/support/ui_fixture.h"

namespace {

// The text of a PDF, pages apart by form feeds.
std::string pdf_text(const std::string& pdf) {
  std::string out = pdf + ".txt";
  if (std::system(("pdftotext '" + pdf + "' '" + out + "'").c_str()) != 0) return "(failed)";
  return file_text(out);
}

std::size_t count(const std::string& text, const std::string& what) {
  std::size_t found = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
    ++found;
  return found;
}

struct pages_row {
  std::string name;
  int lines;
  bool several_pages;
};

class PrintPages : public ui_fixture, public testing::WithParamInterface<pages_row> {};

TEST_P(PrintPages, HeadEveryPageAndLoseNoLine) {
  QString text;
  for (int line = 1; line <= GetParam().lines; ++line)
    text += QString("line %1 行\n").arg(line);
  std::string pdf = (root_ / "pages.pdf").string();
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(QString::fromStdString(pdf));
  printer.setPageSize(QPageSize(QPageSize::A4));
  QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  font.setPointSize(10);
  int pages = ui_print_pages({"Heading 标题", text, font}, printer);
  EXPECT_EQ(pages > 1, GetParam().several_pages) << pages;
  std::string printed = pdf_text(pdf);
  EXPECT_EQ(count(printed, "\f"), static_cast<std::size_t>(pages));
  EXPECT_EQ(count(printed, "Heading 标题"), static_cast<std::size_t>(pages));
  for (int line = 1; line <= GetParam().lines; ++line)
    EXPECT_NE(printed.find("line " + std::to_string(line) + " 行\n"), std::string::npos) << line;
}

INSTANTIATE_TEST_SUITE_P(Rows, PrintPages,
                         testing::Values(pages_row{"Empty", 0, false},
                                         pages_row{"OnePage", 20, false},
                                         pages_row{"SeveralPages", 200, true}),
                         row_name());

class PrintSetup : public ui_fixture {};

TEST_F(PrintSetup, AsksForThePageSetup) {
  script_->answer_print(std::nullopt);
  ASSERT_TRUE(app_->run_command(ID_FILE_PRINT_SETUP));
  EXPECT_EQ(script_->shown(), std::vector<std::string>{"page setup"});
}

}  // namespace
