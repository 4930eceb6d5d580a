#include "letter/viewer_view.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTest>
#include <filesystem>

#include "letter/part_text_ctrl.h"
#include "letter/raw_view.h"
#include "media/object_servers.h"
#include "media/picture_window.h"
#include "media/sound_window.h"
#include "model/letter_display.h"
#include "tests/support/desktop_fixture.h"
#include "tests/support/letter_builder.h"
#include "tests/support/media_files.h"
#include "tests/support/table.h"

namespace {

using letters::bytes;
using letters::multipart;
using letters::text;
using letter_list = std::vector<std::unique_ptr<CAletter>>;
using strings = std::vector<std::string>;
using ints = std::vector<int>;

const std::string kGb = "\xBC\xF2\xCC\xE5\xD6\xD0\xCE\xC4";    // 简体中文
const std::string kBig5 = "\xC1\x63\xC5\xE9\xA4\xA4\xA4\xE5";  // 繁體中文
const std::string kIso = "\x1B$)A\x0E\x30\x21\x0F";            // 啊
const char* kPlaceholderWord = "DOUBLE-CLICK-HERE-TO-DISPLAY-OR-SAVE";

template <class... Letters>
letter_list list_of(Letters... made) {
  letter_list all;
  (all.push_back(std::move(made)), ...);
  return all;
}

letter_list three() {
  return list_of(letters::letter(text("US-ASCII", "one"), "first"),
                 letters::letter(text("US-ASCII", "two"), "second"),
                 letters::letter(text("US-ASCII", "three"), "third"));
}

// A run with In open on the letters given, the fonts of the build in the
// work directory.
class Viewer : public desktop_fixture {
 protected:
  void start_with(letter_list made, long hzos = 1, int current = 0) {
    CVelmarDocData data;
    data.mailbox_name = "IN";
    data.current = current;
    data.letters = std::move(made);
    in_ = file("In.box");
    std::string reason;
    ASSERT_TRUE(box_file_save(in_, data, reason)) << reason;
    std::filesystem::create_directory_symlink(KESTREL_TEST_FONTS, file("ccfont"));
    write_profile("[Configuration]\nInPath=" + in_ + "\nWorkDirectory=" + folder_.path() +
                  "\nTrashPath=" + file("Trash.box") + "\nHZOS=" + std::to_string(hzos) +
                  "\nIMAPAccount=li@host\n");
    script_.press_ok(IDD_ENVIRONMENT).press_cancel(IDD_FETCH);
    ASSERT_TRUE(start());
    script_.clear_shown();
    list_ = active_list();
    ASSERT_NE(list_, nullptr);
  }
  CViewerView* open() {
    list_->open_viewer();
    return viewer();
  }
  CViewerView* viewer() const { return dynamic_cast<CViewerView*>(app_->active_view()); }
  std::string caption() const { return utf8(app_->active_frame()->windowTitle()); }
  CVelmarDocData& data() const { return list_->mailbox()->data(); }
  std::vector<std::string> statuses() const {
    std::vector<std::string> found;
    for (const auto& each : data().letters)
      found.push_back(each->flags.status);
    return found;
  }
  // Double-clicks the control at the first character of what.
  static void double_click(CPartTextCtrl* control, const QString& what) {
    int at = control->toPlainText().indexOf(what);
    ASSERT_GE(at, 0) << utf8(what);
    QTextCursor cursor(control->document());
    cursor.setPosition(at + 1);
    QTest::mouseDClick(control->viewport(), Qt::LeftButton, {},
                       control->cursorRect(cursor).center());
  }
  // The part windows open now, by their captions.
  strings captions() const {
    strings found;
    for (QMdiSubWindow* window : app_->frame()->mdi_area()->subWindowList())
      found.push_back(utf8(window->windowTitle()));
    return found;
  }

  std::string in_;
  CListView* list_ = nullptr;
};

// How a viewer is opened from the list.
struct opening_row {
  std::string name;
  void (*open)(CListView& list);
};

class OpeningFromTheList : public Viewer, public testing::WithParamInterface<opening_row> {};

TEST_P(OpeningFromTheList, ShowsTheLetterMarkedReadWithTheListsCaption) {
  start_with(three(), 1, -1);
  EXPECT_EQ(list_->selected_lines(), std::vector<int>{0}) << "shown selected, not current";
  GetParam().open(*list_);
  qt_flush();
  ASSERT_NE(viewer(), nullptr);
  EXPECT_EQ(caption(), "Li;  5-Dec-1996 10:00:00 +0800; first");
  EXPECT_EQ(data().current, 0) << "the line shown selected is the letter opened";
  EXPECT_EQ(statuses(), (strings{"   ", "N  ", "N  "}));
  EXPECT_EQ(list_->list_box()->item(0)->text().front(), ' ') << "the list shows it read";
  EXPECT_TRUE(list_->mailbox()->is_modified());
  EXPECT_EQ(frame_count(), 2);
  GetParam().open(*list_);
  EXPECT_EQ(frame_count(), 2) << "while it is open the list opens no other";
  EXPECT_EQ(app_->active_frame(), list_->viewer_frame()) << "it comes forward";
}

INSTANTIATE_TEST_SUITE_P(
    Rows, OpeningFromTheList,
    testing::Values(opening_row{"DoubleClick",
                                [](CListView& list) {
                                  // As the system sends one: a click, a press
                                  // that is a double click, a release.
                                  QListWidget* box = list.list_box();
                                  QPoint at = box->visualItemRect(box->item(0)).center();
                                  QTest::mouseClick(box->viewport(), Qt::LeftButton, {}, at);
                                  QTest::mousePress(box->viewport(), Qt::LeftButton, {}, at);
                                  QTest::mouseDClick(box->viewport(), Qt::LeftButton, {}, at);
                                  QTest::mouseRelease(box->viewport(), Qt::LeftButton, {}, at);
                                }},
                    opening_row{
                        "EnterKey",
                        [](CListView& list) { QTest::keyClick(list.list_box(), Qt::Key_Return); }}),
    row_name());

// A button pressed in the viewer, and what it leaves.
struct step_row {
  std::string name;
  int current;
  std::vector<int> buttons;
  strings messages;
  int current_after;
  strings statuses;
};

class Stepping : public Viewer, public testing::WithParamInterface<step_row> {};

TEST_P(Stepping, MovesThroughTheMailboxMarkingLettersRead) {
  const step_row& row = GetParam();
  start_with(three(), 1, row.current);
  CViewerView* shown = open();
  ASSERT_NE(shown, nullptr);
  for (int id : row.buttons)
    shown->button(id)->click();
  EXPECT_EQ(script_.messages(), row.messages);
  EXPECT_EQ(data().current, row.current_after);
  EXPECT_EQ(statuses(), row.statuses);
  const std::string subjects[] = {"first", "second", "third"};
  EXPECT_EQ(utf8(shown->subject_line()->text()), subjects[row.current_after]);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Stepping,
    testing::Values(
        step_row{"PrevAtTheHead", 0, ints{208}, strings{"Reach the head."}, 0,
                 strings{"   ", "N  ", "N  "}},
        step_row{"NextAndPrev", 0, ints{209, 208}, strings{}, 0, strings{"   ", "   ", "N  "}},
        step_row{"NextAtTheLast", 2, ints{209}, strings{"Already at last message."}, 2,
                 strings{"N  ", "N  ", "   "}},
        step_row{"DeleteMarksAndGoesOn", 0, ints{211}, strings{}, 1, strings{"  D", "   ", "N  "}},
        step_row{"DeleteOnTheLastChangesTheMarkFirst", 2, ints{211},
                 strings{"Already at last message."}, 2, strings{"N  ", "N  ", "  D"}},
        step_row{"DeleteTwiceClearsTheMark", 2, ints{211, 211},
                 strings{"Already at last message.", "Already at last message."}, 2,
                 strings{"N  ", "N  ", "   "}},
        step_row{"PrintOnlySaysSo", 1, ints{205}, strings{"Print"}, 1,
                 strings{"N  ", "   ", "N  "}}),
    row_name());

TEST_F(Viewer, ALetterWithoutFromIsFromSomeoneAndStartsWithItsDate) {
  auto nobody = letters::letter(text("US-ASCII", "x"), "anon");
  nobody->envelope.from.reset();
  start_with(list_of(letters::letter(text("US-ASCII", "y"), "named"), std::move(nobody)), 1, 1);
  CViewerView* shown = open();
  ASSERT_NE(shown, nullptr);
  EXPECT_EQ(caption(), "某人;  5-Dec-1996 10:00:00 +0800; anon") << "the list's caption";
  EXPECT_EQ(shown->text().bytes.substr(0, 16), "\r\nDate        : ");
  shown->button(208)->click();
  shown->button(209)->click();
  EXPECT_EQ(caption(), "someone;  5-Dec-1996 10:00:00 +0800; anon") << "the viewer's own";
}

TEST_F(Viewer, AViewerThatClosesLetsTheListOpenAnother) {
  start_with({}, 1, -1);
  list_->open_viewer();
  qt_flush();
  EXPECT_EQ(script_.messages(), strings{"No letter in this mailbox."});
  EXPECT_EQ(frame_count(), 1);
  EXPECT_EQ(list_->viewer_frame(), nullptr);
}

TEST_F(Viewer, ClosingTheListTakesItsViewerAndAsksToSaveOnce) {
  start_with(three());
  ASSERT_NE(open(), nullptr);
  viewer()->button(212)->click();
  qt_flush();
  EXPECT_EQ(list_->viewer_frame(), nullptr) << "Close told the list";
  ASSERT_NE(open(), nullptr);
  script_.answer(IDCANCEL).answer(IDNO);
  list_->frame()->close();
  qt_flush();
  EXPECT_EQ(frame_count(), 1) << "cancelled: the list stays, its viewer gone";
  list_->frame()->close();
  qt_flush();
  EXPECT_EQ(script_.messages(), strings(2, "Save changes to " + in_ + "?"));
  EXPECT_EQ(frame_count(), 0);
}

TEST_F(Viewer, TwoViewersOnOneMailboxShowTheSameLetterWithoutEndlessUpdates) {
  start_with(three());
  CViewerView* first = open();
  ASSERT_TRUE(app_->run_command(ID_WINDOW_NEW));
  CViewerView* second = viewer();
  ASSERT_NE(second, nullptr);
  ASSERT_NE(first, second);
  second->button(209)->click();
  EXPECT_EQ(utf8(first->subject_line()->text()), "second");
  list_->select_lines({2});
  EXPECT_EQ(utf8(first->subject_line()->text()), "third");
  EXPECT_EQ(utf8(second->subject_line()->text()), "third");
  EXPECT_EQ(statuses(), (strings{"   ", "   ", "   "}));
}

TEST_F(Viewer, MixedGbAndBig5PartsAreEachDrawnInTheirOwnCharset) {
  start_with(list_of(letters::letter(multipart(text("CN-GB", kGb), text("CN-BIG5", kBig5)))), 3);
  CViewerView* shown = open();
  ASSERT_NE(shown, nullptr);
  CPartTextCtrl* control = shown->part_text();
  control->resize(600, 400);
  QImage picture = control->viewport()->grab().toImage();
  for (QString expected : {QString("简体中文"), QString("繁體中文")}) {
    int at = control->toPlainText().indexOf(expected);
    ASSERT_GE(at, 0) << utf8(expected);
    QTextCursor cursor(control->document());
    cursor.setPosition(at);
    QRect line = control->cursorRect(cursor);
    // The same characters in a control of their own, drawn the same way.
    QPlainTextEdit alone;
    alone.setFont(control->font());
    alone.resize(control->size());
    alone.setPlainText(expected);
    QRect first_line = alone.cursorRect(QTextCursor(alone.document()));
    QImage reference = alone.viewport()->grab().toImage();
    int width = control->fontMetrics().horizontalAdvance(expected) + 4;
    EXPECT_EQ(picture.copy(line.left(), line.top(), width, line.height()),
              reference.copy(first_line.left(), first_line.top(), width, first_line.height()))
        << utf8(expected);
  }
}

TEST_F(Viewer, Utf8TextAndAnEncodedSubjectAreShownDecodedAndSavedAsTheyAre) {
  start_with(list_of(letters::letter(text("UTF-8", "\xE4\xBD\xA0\xE5\xA5\xBD \xF0\x9F\x98\x80"),
                                     "=?GB2312?B?1tDOxA==?= report")));
  CViewerView* shown = open();
  ASSERT_NE(shown, nullptr);
  EXPECT_EQ(utf8(shown->subject_line()->text()), "中文 report");
  EXPECT_EQ(caption(), "Li;  5-Dec-1996 10:00:00 +0800; 中文 report");
  QString screen = shown->part_text()->toPlainText();
  EXPECT_TRUE(screen.contains("Subject     : 中文 report\n")) << utf8(screen);
  EXPECT_TRUE(screen.contains("你好 😀")) << utf8(screen);
  std::string saved = file("letter.txt");
  script_.answer_file(saved);
  shown->button(210)->click();
  EXPECT_EQ(script_.shown(), strings{"file save Save As 中文report All Files (*.*)|*.*||"});
  EXPECT_EQ(file_text(saved), shown->text().bytes);
  EXPECT_NE(shown->text().bytes.find("Subject     : =?GB2312?B?1tDOxA==?= report\r\n"),
            std::string::npos);
}

TEST_F(Viewer, SaveProposesTheSubjectsFirstEightCharactersWithoutBlanks) {
  start_with(list_of(letters::letter(text("US-ASCII", "x"), "Re: a b:cdefg h"),
                     letters::letter(text("US-ASCII", "y"), "")));
  CViewerView* shown = open();
  ASSERT_NE(shown, nullptr);
  script_.answer_file(file("no/such/folder/x.txt")).answer_file(std::nullopt);
  shown->button(210)->click();
  shown->button(209)->click();
  shown->button(210)->click();
  EXPECT_EQ(script_.shown(), (strings{"file save Save As Re:ab:cd All Files (*.*)|*.*||",
                                      "message File create fail! [ok]",
                                      "file save Save As  All Files (*.*)|*.*||"}));
}

// A placeholder double-clicked, the answers given, and what came of it.
struct part_row {
  std::string name;
  CBody (*make)();
  long hzos;
  QString clicked;  // the text double-clicked
  void (*answer)(ui_script& script, const std::string& saved);
  strings shown;                    // questions and dialogs, in order
  std::string window;               // the caption of the window opened, if any
  std::optional<std::string> file;  // what the saved file holds
};

class DoubleClick : public Viewer, public testing::WithParamInterface<part_row> {};

TEST_P(DoubleClick, OpensThePartUnderIt) {
  const part_row& row = GetParam();
  start_with(list_of(letters::letter(row.make())), row.hzos);
  CViewerView* shown = open();
  ASSERT_NE(shown, nullptr);
  std::string saved = file("part.bin");
  row.answer(script_, saved);
  double_click(shown->part_text(), row.clicked);
  qt_flush();
  EXPECT_EQ(script_.shown(), row.shown);
  strings expected_windows{"In:1", "Li;  5-Dec-1996 10:00:00 +0800; hello"};
  if (!row.window.empty()) expected_windows.push_back(row.window);
  EXPECT_EQ(captions(), expected_windows);
  if (row.file) {
    EXPECT_EQ(file_text(saved), *row.file);
  } else {
    EXPECT_FALSE(std::filesystem::exists(saved));
  }
}

void no_answers(ui_script&, const std::string&) {}
void answer_no(ui_script& script, const std::string&) {
  script.answer(IDNO);
}
void answer_yes_and_file(ui_script& script, const std::string& saved) {
  script.answer(IDYES).answer_file(saved);
}

const std::string kAskSave = "message 保存数据到文件中吗? [yes no]";
const std::string kNoObject = "message 不能启动 OLE. [ok]";

INSTANTIATE_TEST_SUITE_P(
    Rows, DoubleClick,
    testing::Values(
        part_row{"UnlabelledTextNoOpensTheRawView", [] { return text("", "plain"); }, 1,
                 kPlaceholderWord, answer_no, strings{kAskSave}, "显示原始数据", std::nullopt},
        part_row{"UnlabelledTextYesSavesIt", [] { return text("", "plain\r\ntext"); }, 1,
                 kPlaceholderWord, answer_yes_and_file,
                 strings{kAskSave, "file save Save As  所有文件 (*.*)|*.*||"}, "", "plain\r\ntext"},
        part_row{"GbOnAPlatformWithoutGb", [] { return text("gb2312", kGb); }, 0, kPlaceholderWord,
                 no_answers, strings{}, "中文 GB 字符", std::nullopt},
        part_row{"Big5OnAGbPlatform", [] { return text("big5", kBig5); }, 1, kPlaceholderWord,
                 no_answers, strings{}, "中文 BIG5 字符", std::nullopt},
        part_row{"Iso2022CnAtTheTop", [] { return text("ISO-2022-CN", kIso); }, 1, kPlaceholderWord,
                 no_answers, strings{}, "中文 ISO-2022-CN 字符", std::nullopt},
        part_row{"HtmlAsksToo", [] { return text("UTF-8", "<p>", "HTML"); }, 1, kPlaceholderWord,
                 answer_no, strings{kAskSave}, "显示原始数据", std::nullopt},
        part_row{"APictureIsSavedUnderItsDecodedName",
                 [] {
                   return bytes(5, "GIF", std::string("GIF89a\0\1", 8),
                                {{"NAME*", "UTF-8''%E5%9B%BE/1.gif"}});
                 },
                 1, kPlaceholderWord, answer_yes_and_file,
                 strings{kNoObject, kAskSave, "file save Save As 图1.gif 所有文件 (*.*)|*.*||"}, "",
                 std::string("GIF89a\0\1", 8)},
        part_row{"APartWithoutItsBytesSaysSoAndLeavesAnEmptyFile",
                 [] { return letters::body(3, "OCTET-STREAM"); }, 1, kPlaceholderWord,
                 answer_yes_and_file,
                 strings{kNoObject, kAskSave, "file save Save As  所有文件 (*.*)|*.*||",
                         "message 内存不够，指针分配失败。 [ok]"},
                 "", ""},
        part_row{"OutsideEveryPlaceholderNothingHappens",
                 [] { return multipart(text("US-ASCII", "words here"), text("", "x")); }, 1,
                 "words", no_answers, strings{}, "", std::nullopt},
        part_row{
            "APlaceholderAfterChineseText",
            [] { return multipart(text("CN-GB", kGb + kGb + "\r\n" + kGb), text("", "after")); }, 1,
            kPlaceholderWord, answer_no, strings{kAskSave}, "显示原始数据", std::nullopt}),
    row_name());

// A picture and a sound become items of the mailbox and open in Kestrel's
// own windows; a "Bitmap" that is none cannot be opened, and is offered for
// saving.
TEST_F(Viewer, PicturesAndSoundsOpenInTheirWindows) {
  const std::string picture = test_bitmap(37, 21);
  const std::string wave = test_wave(4000);
  start_with(list_of(letters::letter(multipart(bytes(5, "BITMAP", picture), bytes(4, "WAV", wave),
                                               bytes(5, "Bitmap", "BMnot a picture")))));
  CViewerView* shown = open();
  ASSERT_NE(shown, nullptr);
  const QString placeholders[] = {">> IMAGE:", ">> AUDIO:"};
  for (const QString& placeholder : placeholders)
    double_click(shown->part_text(), placeholder);
  qt_flush();
  EXPECT_TRUE(script_.shown().empty()) << script_.shown().front();
  ASSERT_EQ(data().items.size(), 2u);
  object_servers& servers = app_->servers();
  auto* picture_window = dynamic_cast<CPictureWindow*>(servers.window_of(*data().items[0]));
  auto* sound_window = dynamic_cast<CSoundWindow*>(servers.window_of(*data().items[1]));
  ASSERT_TRUE(picture_window && sound_window);
  EXPECT_EQ(picture_window->canvas()->grab().toImage().convertToFormat(QImage::Format_RGB32),
            QImage::fromData(QByteArray(picture.data(), static_cast<qsizetype>(picture.size())))
                .convertToFormat(QImage::Format_RGB32));
  EXPECT_TRUE(sound_window->wave() == wave);

  script_.answer(IDNO);
  const int at = shown->part_text()->toPlainText().lastIndexOf(">> IMAGE:");
  QTextCursor cursor(shown->part_text()->document());
  cursor.setPosition(at + 1);
  QTest::mouseDClick(shown->part_text()->viewport(), Qt::LeftButton, {},
                     shown->part_text()->cursorRect(cursor).center());
  qt_flush();
  EXPECT_EQ(script_.shown(), (strings{kNoObject, kAskSave}));
  EXPECT_EQ(data().items.size(), 2u) << "the item that could not be made is gone";
  picture_window->close();
  sound_window->close();
}

TEST_F(Viewer, RegionsMapOntoTheScreenAfterMultibyteTextTheirEndIncluded) {
  start_with(list_of(letters::letter(multipart(
      text("CN-GB", kGb + "\r\n" + kGb), text("utf-8", "\xF0\x9F\x98\x80"), bytes(5, "PNG", "")))));
  CViewerView* shown = open();
  ASSERT_NE(shown, nullptr);
  const CPartTextCtrl* control = shown->part_text();
  ASSERT_EQ(control->regions().size(), 1u);
  std::size_t line = static_cast<std::size_t>(control->toPlainText().indexOf(">> IMAGE:"));
  std::size_t offset = control->screen().byte_offset(line);
  EXPECT_EQ(offset, shown->text().bytes.find(">> IMAGE:"));
  EXPECT_EQ(control->find_region(offset), &control->regions()[0]);
  EXPECT_EQ(control->find_region(control->regions()[0].end), &control->regions()[0]);
}

TEST_F(Viewer, TrashTakesTheLetterAndClosesTheViewer) {
  start_with(three(), 1, 2);
  CViewerView* shown = open();
  ASSERT_NE(shown, nullptr);
  script_.answer(IDNO);
  shown->button(200)->click();
  EXPECT_EQ(script_.messages(), (strings{"Create a new Trash mailbox?", "Cannot trash!"}));
  EXPECT_EQ(data().letters.size(), 3u);
  std::string reason;
  CVelmarDocData trash;
  trash.mailbox_name = "TRASH";
  ASSERT_TRUE(box_file_save(file("Trash.box"), trash, reason)) << reason;
  shown->button(200)->click();
  qt_flush();
  EXPECT_EQ(subjects(data()), (strings{"first", "second"}));
  EXPECT_EQ(data().current, 1) << "the last letter leaves the one before it current";
  EXPECT_EQ(list_->viewer_frame(), nullptr);
  auto* target = dynamic_cast<CVelmarDoc*>(app_->open_document_file(file("Trash.box")));
  ASSERT_NE(target, nullptr);
  EXPECT_EQ(subjects(target->data()), strings{"third"});
  EXPECT_TRUE(target->is_modified());
}

TEST_F(Viewer, MoveAsksInEnglish) {
  start_with(three(), 1, 0);
  CViewerView* shown = open();
  ASSERT_NE(shown, nullptr);
  script_.press_ok(IDD_MOVE)
      .answer_dialog(IDD_MOVE, choosing(IDC_MAILBOX_LIST, 2))
      .answer(IDNO)
      .answer_dialog(IDD_MOVE, choosing(IDC_MAILBOX_LIST, 1))
      .answer(IDYES)
      .answer(IDNO);
  shown->button(213)->click();
  shown->button(213)->click();
  shown->button(213)->click();
  EXPECT_EQ(
      script_.messages(),
      (strings{"Selete no mailbox. Move fail.", "Move the letter to mailbox: Trash ?",
               "Move the letter to mailbox: Out ?", "Create a new Out mailbox?", "Cannot move!"}));
  EXPECT_EQ(data().letters.size(), 3u);
}

TEST_F(Viewer, CopyAndSelectAllFollowTheFocus) {
  start_with(three());
  CViewerView* shown = open();
  ASSERT_NE(shown, nullptr);
  app_->frame()->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(app_->frame()));
  shown->part_text()->setFocus();
  ASSERT_TRUE(shown->part_text()->hasFocus());
  EXPECT_FALSE(app_->command_state(ID_EDIT_COPY).enabled) << "nothing selected";
  ASSERT_TRUE(app_->run_command(ID_EDIT_SELECT_ALL));
  ASSERT_TRUE(app_->run_command(ID_EDIT_COPY));
  EXPECT_EQ(QGuiApplication::clipboard()->text(), shown->part_text()->toPlainText());
  shown->subject_line()->setFocus();
  shown->subject_line()->selectAll();
  ASSERT_TRUE(app_->run_command(ID_EDIT_COPY));
  EXPECT_EQ(utf8(QGuiApplication::clipboard()->text()), "first");
  shown->button(209)->setFocus();
  ASSERT_TRUE(app_->run_command(ID_EDIT_COPY));
  EXPECT_EQ(script_.messages(), strings{"Set focus to one edit control window first."});
}

// What printing makes of a window: the text pdftotext reads from the PDF.
std::string pdf_text(const std::string& pdf) {
  std::string out = pdf + ".txt";
  std::string command = "pdftotext -layout '" + pdf + "' '" + out + "'";
  if (std::system(command.c_str()) != 0) return "(pdftotext failed)";
  return file_text(out);
}

TEST_F(Viewer, TheListAndTheViewerPrintTheirTextsUnderTheirCaptions) {
  start_with(list_of(letters::letter(multipart(text("CN-GB", kGb), text("CN-BIG5", kBig5)),
                                     "=?UTF-8?B?5Lit5paH?=")),
             3);
  std::string list_pdf = file("list.pdf");
  script_.answer_print(list_pdf);
  ASSERT_TRUE(app_->run_command(ID_FILE_PRINT));
  std::string printed = pdf_text(list_pdf);
  EXPECT_NE(printed.find("In"), std::string::npos) << printed;
  EXPECT_NE(printed.find("5-Dec-1996 Li"), std::string::npos) << printed;
  EXPECT_NE(printed.find("中文"), std::string::npos) << printed;

  ASSERT_NE(open(), nullptr);
  std::string viewer_pdf = file("viewer.pdf");
  std::string preview_pdf = file("preview.pdf");
  script_.answer_print(std::nullopt).answer_print(viewer_pdf).answer_preview(preview_pdf);
  ASSERT_TRUE(app_->run_command(ID_FILE_PRINT));
  EXPECT_FALSE(std::filesystem::exists(viewer_pdf)) << "cancelled";
  ASSERT_TRUE(app_->run_command(ID_FILE_PRINT));
  ASSERT_TRUE(app_->run_command(ID_FILE_PRINT_PREVIEW));
  for (const std::string& pdf : {viewer_pdf, preview_pdf}) {
    printed = pdf_text(pdf);
    EXPECT_NE(printed.find("5-Dec-1996 10:00:00 +0800; 中文"), std::string::npos) << printed;
    EXPECT_NE(printed.find("Subject     : 中文"), std::string::npos) << printed;
    EXPECT_NE(printed.find("简体中文"), std::string::npos) << printed;
    EXPECT_NE(printed.find("繁體中文"), std::string::npos) << printed;
  }
  EXPECT_EQ(script_.shown(), (strings{"print", "print", "print", "print preview"}));
}

}  // namespace
