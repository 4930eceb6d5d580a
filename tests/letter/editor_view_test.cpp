#include "letter/editor_view.h"

#include <gmock/gmock.h>
#include <nlohmann/json.hpp>

#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <fstream>

#include "app/fetch_dialog.h"
#include "letter/part_text_ctrl.h"
#include "letter/viewer_view.h"
#include "media/media_ids.h"
#include "media/object_servers.h"
#include "media/picture_window.h"
#include "media/sound_window.h"
#include "model/huge.h"
#include "model/parameter.h"
#include "model/part.h"
#include "tests/support/desktop_fixture.h"
#include "tests/support/dovecot_server.h"
#include "tests/support/media_files.h"
#include "tests/support/run_program.h"
#include "tests/support/smtp_sink_server.h"
#include "tests/support/table.h"

namespace {

using field = CEditorView::field;
using strings = std::vector<std::string>;
using ints = std::vector<int>;
using json = nlohmann::json;
using testing::HasSubstr;
using testing::Not;

const std::string kBytes("GIF89a\0\x01\xFF\r\n.\r\n", 14);

std::string hex(std::string_view bytes) {
  std::string digits;
  for (unsigned char c : bytes) {
    digits += "0123456789abcdef"[c >> 4];
    digits += "0123456789abcdef"[c & 15];
  }
  return digits;
}

std::string upper(std::string text) {
  for (char& c : text)
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

// The letter the composer kept and the one fetched back are the same, but
// for the letter case the parser gives names.
void expect_same_body(const CBody& kept, const CBody& fetched) {
  EXPECT_EQ(kept.type, fetched.type);
  EXPECT_EQ(upper(kept.subtype), upper(fetched.subtype));
  // A server reports no identifier of a multipart body.
  if (kept.type != TYPE_MULTIPART) {
    EXPECT_EQ(kept.id, fetched.id);
  }
  EXPECT_EQ(kept.text, fetched.text);
  ASSERT_EQ(!kept.parameters, !fetched.parameters);
  for (std::size_t i = 0; kept.parameters && i < kept.parameters->items.size(); ++i) {
    ASSERT_LT(i, fetched.parameters->items.size());
    EXPECT_EQ(upper(kept.parameters->items[i]->attribute),
              upper(fetched.parameters->items[i]->attribute));
    EXPECT_EQ(kept.parameters->items[i]->value, fetched.parameters->items[i]->value);
  }
  if (kept.huge()) {
    ASSERT_TRUE(fetched.huge());
    EXPECT_EQ(kept.huge()->bytes(), fetched.huge()->bytes());
  }
  if (const CPart* parts = kept.part()) {
    ASSERT_TRUE(fetched.part());
    ASSERT_EQ(parts->items.size(), fetched.part()->items.size());
    for (std::size_t i = 0; i < parts->items.size(); ++i)
      expect_same_body(parts->items[i]->body, fetched.part()->items[i]->body);
  }
}

// The program with an SMTP sink to send to and an Out mailbox.
class Composer : public desktop_fixture {
 protected:
  void SetUp() override { ASSERT_TRUE(sink_.running()) << sink_.reason(); }

  void start_with(const std::string& label, long net_link = 0, bool with_out = true) {
    std::string out = with_out ? mailbox_file("Out.box", "OUT", strings{}) : file("Out.box");
    start_in({"first"}, "SMTPServer=" + sink_.host() +
                            "\nReturnAddress=li@mail.pku.edu.cn\nRealName=李明\nComposeCC=" +
                            label + "\nHZOS=1\nNetLink=" + std::to_string(net_link) +
                            "\nOutPath=" + out + "\nWorkDirectory=" + folder_.path() + "\n");
    app_->settings().imap_account = "li@pku.edu.cn";
  }
  // A new letter from the list, its fields filled.
  CEditorView* compose(const std::string& to, const std::string& subject, const std::string& body) {
    active_list()->run_command(201);
    auto* editor = dynamic_cast<CEditorView*>(app_->active_view());
    if (!editor) return nullptr;
    editor->set_line(field::to, to);
    editor->set_line(field::subject, subject);
    editor->body()->setPlainText(QString::fromUtf8(body.c_str()));
    return editor;
  }
  CEditorView* editor() const { return dynamic_cast<CEditorView*>(app_->active_view()); }
  // Answers the next Insert Object dialog: a new object of the type, or one
  // from the file.
  void answer_insert(int type, const std::string& path = "") {
    script_.answer_dialog(IDD_INSERT_OBJECT, [=](ui_dialog& dialog) {
      dialog.select(IDC_OBJECT_TYPES, type);
      dialog.set_checked(path.empty() ? IDC_CREATE_NEW : IDC_CREATE_FROM_FILE, true);
      if (!path.empty()) dialog.set_text(IDC_OBJECT_FILE, path);
      return true;
    });
  }
  static strings lines(const QListWidget& list) {
    strings found;
    for (int row = 0; row < list.count(); ++row)
      found.push_back(utf8(list.item(row)->text()));
    return found;
  }
  static CVelmarDocData& mailbox_of(const ui_view& view) {
    return dynamic_cast<CVelmarDoc&>(*view.document()).data();
  }
  void attach(CEditorView& editor, const std::string& name, const std::string& bytes) {
    std::ofstream(file(name), std::ios::binary) << bytes;
    script_.answer_file(file(name));
    editor.run_command(ID_COMPOSE_ADD_FILE);
  }
  CVelmarDoc* out_mailbox() const {
    for (ui_document* each : app_->documents())
      if (auto* mailbox = dynamic_cast<CVelmarDoc*>(each);
          mailbox && mailbox->data().mailbox_name == "OUT")
        return mailbox;
    return nullptr;
  }
  bool composer_open() const {
    for (QMdiSubWindow* window : app_->frame()->mdi_area()->subWindowList())
      if (dynamic_cast<CEditorView*>(window->widget())) return true;
    return false;
  }

  smtp_sink_server sink_;
};

// A Dovecot to put the letters sent into and fetch them back from.
class Delivering : public Composer {
 protected:
  void SetUp() override {
    Composer::SetUp();
    ASSERT_TRUE(dovecot_.running()) << dovecot_.reason();
  }
  // A letter sent, as Python's email reads it.
  json read_sent(const std::string& content) {
    std::string eml = file("sent.eml");
    std::ofstream(eml, std::ios::binary) << content;
    program_result read = run_program("/usr/bin/python3", {KESTREL_READ_SENT, eml});
    EXPECT_EQ(read.exit_code, 0) << read.err;
    return read.exit_code == 0 ? json::parse(read.out) : json();
  }
  // Into Dovecot's maildir, and back into In by the program's fetch.
  void fetch_back(const std::string& content) {
    dovecot_.deliver("tester", content);
    app_->settings().imap_account = "tester@127.0.0.1:" + std::to_string(dovecot_.port());
    ASSERT_TRUE(app_->settings().split_account());
    app_->settings().allow_plain_login = 1;  // the test's Dovecot offers no TLS
    script_.answer_dialog(IDD_FETCH, [](ui_dialog& dialog) {
      dialog.set_text(IDC_FETCH_PASSWORD, "secret");
      return true;
    });
    ASSERT_TRUE(app_->run_command(ID_FETCH_MAIL));
  }

  dovecot_server dovecot_;
};

// A letter in each charset, sent, read by Python's email and fetched back.
struct charset_row {
  std::string name;
  std::string label;
  long net_link;
  std::string subject;
  std::string body;
  std::string encoding;  // of the text part
};

class Sending : public Delivering, public testing::WithParamInterface<charset_row> {};

TEST_P(Sending, ArrivesAsTypedAndComesBackAsKept) {
  const charset_row& row = GetParam();
  start_with(row.label, row.net_link);
  CEditorView* composer = compose("wang@pku.edu.cn", row.subject, row.body);
  ASSERT_NE(composer, nullptr);
  EXPECT_EQ(utf8(composer->line(field::from)->text()), "li@mail.pku.edu.cn");
  attach(*composer, "图片.gif", kBytes);
  composer->run_command(ID_COMPOSE_SEND);
  qt_flush();
  EXPECT_EQ(script_.messages(), strings{" 发信成功! "});
  EXPECT_FALSE(composer_open()) << "the frame closes after sending";

  std::vector<smtp_sink_server::letter> sent = sink_.letters();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].sender, "li@mail.pku.edu.cn");
  json found = read_sent(sent[0].content);
  EXPECT_EQ(found["subject"], row.subject);
  EXPECT_EQ(found["from_name"], "李明");
  ASSERT_EQ(found["parts"].size(), 2u);
  EXPECT_EQ(found["parts"][0]["charset"], row.label);
  EXPECT_EQ(found["parts"][0]["encoding"], row.encoding);
  EXPECT_EQ(found["parts"][0]["text"], row.body);
  EXPECT_EQ(found["parts"][1]["hex"], hex(kBytes));
  EXPECT_EQ(found["parts"][1]["name"], "图片.gif");

  ASSERT_NO_FATAL_FAILURE(fetch_back(sent[0].content));
  CVelmarDoc* out = out_mailbox();
  ASSERT_NE(out, nullptr);
  ASSERT_EQ(out->data().letters.size(), 1u);
  const CAletter& kept = *out->data().letters[0];
  auto* in = dynamic_cast<CVelmarDoc*>(app_->open_document_file(in_));
  ASSERT_NE(in, nullptr);
  ASSERT_EQ(in->data().letters.size(), 2u);
  const CAletter& fetched = *in->data().letters[1];
  expect_same_body(kept.body, fetched.body);
  EXPECT_EQ(kept.envelope.subject, fetched.envelope.subject);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Sending,
    testing::Values(
        charset_row{"Gb", "CN-GB", 0, "问候", "你好，王先生：\n附上图片一张。\n李华", "base64"},
        charset_row{"Big5UnderEightBit", "CN-BIG5", 1, "繁體問候", "你好\n再見",
                    "quoted-printable"},
        charset_row{"Iso2022Cn", "ISO-2022-CN", 0, "中文與繁體", "中文\n繁體字\nend", "7bit"},
        charset_row{"TypedUtf8Label", "UTF-8", 0, "Grüße 你好", "Ünïcode ✓\n中文", "base64"},
        charset_row{"AsciiMostlyIsQuotedPrintable", "CN-GB", 0, "mostly ascii",
                    "This letter is mostly plain ASCII text, with 中文 in it.",
                    "quoted-printable"}),
    row_name());

// What the user is told, and what is kept and sent.
struct outcome_row {
  std::string name;
  bool with_out;
  std::vector<int> answers;
  std::string to;
  std::string bcc;
  std::string body;
  strings messages;
  std::size_t kept;       // letters in Out
  std::size_t delivered;  // letters the server took
  bool still_open;        // the composer stays for the user to mend the letter
};

class Outcome : public Composer, public testing::WithParamInterface<outcome_row> {};

TEST_P(Outcome, IsToldAndKept) {
  const outcome_row& row = GetParam();
  start_with("CN-GB", 0, row.with_out);
  CEditorView* composer = compose(row.to, "hi", row.body);
  ASSERT_NE(composer, nullptr);
  composer->set_line(field::bcc, row.bcc);
  for (int answer : row.answers)
    script_.answer(answer);
  composer->run_command(ID_COMPOSE_SEND);
  qt_flush();
  EXPECT_EQ(script_.messages(), row.messages);
  CVelmarDoc* out = out_mailbox();
  EXPECT_EQ(out ? out->data().letters.size() : 0u, row.kept);
  EXPECT_EQ(sink_.letters().size(), row.delivered);
  EXPECT_EQ(composer_open(), row.still_open);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Outcome,
    testing::Values(outcome_row{"NoOutStillSends", false, ints{IDNO}, "wang@pku.edu.cn", "", "x",
                                strings{"创建新的 Out 邮箱?", " 发信成功! "}, 0, 1, false},
                    outcome_row{"NoRecipientsRefusedButKept", true, ints{}, "", "", "x",
                                strings{" 发信失败 \n554 No recipients specified"}, 1, 0, false},
                    outcome_row{"ACharacterTheLabelLacks", true, ints{}, "wang@pku.edu.cn", "",
                                "體育", strings{"这些字符不能用 CN-GB 写出: 體"}, 0, 0, true},
                    outcome_row{"BccAlone", true, ints{}, "", "zhang@x.cn", "x",
                                strings{" 发信成功! "}, 1, 1, false}),
    row_name());

TEST_F(Composer, BccIsDeliveredWithoutAHeaderAndBareNamesGetTheAccountsHost) {
  start_with("CN-GB");
  CEditorView* composer = compose("wang", "hi", "x");
  ASSERT_NE(composer, nullptr);
  composer->set_line(field::bcc, "zhang@x.cn");
  composer->run_command(ID_COMPOSE_SEND);
  std::vector<smtp_sink_server::letter> sent = sink_.letters();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].recipients, (strings{"wang@pku.edu.cn", "zhang@x.cn"}));
  EXPECT_THAT(sent[0].content, HasSubstr("\r\nTo: wang@pku.edu.cn\r\n"));
  EXPECT_THAT(sent[0].content, Not(HasSubstr("zhang")));
}

// A server that demands STARTTLS and a login: the account's user name and
// the password held in memory (asked for with the fetch dialog when none is
// held yet); a refusal shows the server's words.
struct login_row {
  std::string name;
  std::string held;                  // the password in memory; empty: none
  std::optional<std::string> typed;  // into the fetch dialog; nothing: Cancel
  strings shown;
  std::size_t delivered;
  strings logins;  // as the server logged them
};

class SecureSending : public Composer, public testing::WithParamInterface<login_row> {
 protected:
  smtp_sink_server secure_{smtp_sink_server::security{}};
};

TEST_P(SecureSending, LogsInAsTheAccountOrShowsTheServersWords) {
  const login_row& row = GetParam();
  ASSERT_TRUE(secure_.running()) << secure_.reason();
  start_with("CN-GB");
  velmar_settings& settings = app_->settings();
  settings.smtp_server = "localhost:" + std::to_string(secure_.port());
  settings.ca_file = secure_.certificate();
  settings.imap_account = "tester@localhost";
  ASSERT_TRUE(settings.split_account());
  settings.password = row.held;
  CEditorView* composer = compose("wang@pku.edu.cn", "hi", "x");
  ASSERT_NE(composer, nullptr);
  if (row.held.empty()) {
    script_.answer_dialog(IDD_FETCH, [typed = row.typed](ui_dialog& dialog) {
      dialog.set_text(IDC_FETCH_PASSWORD, typed.value_or(""));
      return typed.has_value();
    });
  }
  composer->run_command(ID_COMPOSE_SEND);
  qt_flush();
  EXPECT_EQ(script_.shown(), row.shown);
  EXPECT_EQ(secure_.letters().size(), row.delivered);
  EXPECT_EQ(secure_.logins(), row.logins);
  EXPECT_EQ(settings.password, row.typed.value_or(row.held)) << "held for the next time";
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SecureSending,
    testing::Values(
        login_row{"PasswordHeld", "secret", std::nullopt, strings{"message  发信成功!  [ok]"}, 1,
                  strings{"tls=yes user=tester ok=yes"}},
        login_row{"AskedForWhenNoneIsHeld", "", "secret",
                  strings{"dialog 118 取邮件", "message  发信成功!  [ok]"}, 1,
                  strings{"tls=yes user=tester ok=yes"}},
        login_row{"WrongPassword", "wrong", std::nullopt,
                  strings{"message  发信失败 \n535 5.7.8 Authentication credentials invalid [ok]"},
                  0, strings{"tls=yes user=tester ok=no"}},
        login_row{"NoLoginWhenTheDialogIsCancelled", "", std::nullopt,
                  strings{"dialog 118 取邮件",
                          "message  发信失败 \n530 5.7.0 Authentication required [ok]"},
                  0, strings{}}),
    row_name());

// The lists and the edit commands, and what they say without a choice.
struct command_row {
  std::string name;
  std::vector<int> answers;
  std::vector<int> commands;
  strings messages;
  bool still_open;
};

class Command : public Composer, public testing::WithParamInterface<command_row> {};

TEST_P(Command, SaysWhatIsMissing) {
  const command_row& row = GetParam();
  start_with("CN-GB");
  CEditorView* composer = compose("wang", "hi", "x");
  ASSERT_NE(composer, nullptr);
  composer->items()->setFocus();
  for (int answer : row.answers)
    script_.answer(answer);
  for (int id : row.commands)
    composer->run_command(id);
  qt_flush();
  EXPECT_EQ(script_.messages(), row.messages);
  EXPECT_EQ(composer_open(), row.still_open);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Command,
    testing::Values(command_row{"AbandonNo", ints{IDNO}, ints{ID_COMPOSE_ABANDON},
                                strings{"放弃发送此信?"}, true},
                    command_row{"AbandonYes", ints{IDYES}, ints{ID_COMPOSE_ABANDON},
                                strings{"放弃发送此信?"}, false},
                    command_row{"RemoveFromAnEmptyList", ints{}, ints{ID_COMPOSE_REMOVE_FILE},
                                strings{"先选择删除项"}, true},
                    command_row{"DeleteNoItem", ints{}, ints{ID_COMPOSE_DELETE_ITEMS},
                                strings{"先选择删除项"}, true},
                    command_row{"EditWithoutAField", ints{},
                                ints{ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE, ID_EDIT_CLEAR},
                                strings{"先选择编辑窗口.", "先选择编辑窗口.", "先选择编辑窗口.",
                                        "先选择编辑窗口."},
                                true}),
    row_name());

TEST_F(Composer, FilesComeAndGoAndTheEditCommandsActOnTheFocusedField) {
  start_with("CN-GB");
  CEditorView* composer = compose("wang", "hi", "");
  ASSERT_NE(composer, nullptr);
  attach(*composer, "a.txt", "a");
  attach(*composer, "b.txt", "b");
  script_.answer_file(std::nullopt);
  composer->run_command(ID_COMPOSE_ADD_FILE);
  EXPECT_EQ(composer->form().attachments, (strings{file("a.txt"), file("b.txt")}));
  composer->attachments()->setCurrentRow(0);
  composer->run_command(ID_COMPOSE_REMOVE_FILE);
  EXPECT_EQ(composer->form().attachments, strings{file("b.txt")});

  app_->frame()->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(app_->frame()));
  ui_command_state state;
  composer->body()->setFocus();
  composer->update_state(ID_EDIT_SELECT_ALL, state);
  EXPECT_FALSE(state.enabled) << "an empty body";
  composer->line(field::subject)->setFocus();
  composer->line(field::subject)->selectAll();
  ASSERT_TRUE(composer->update_state(ID_EDIT_CUT, state));
  EXPECT_TRUE(state.enabled);
  composer->run_command(ID_EDIT_CUT);
  composer->body()->setFocus();
  composer->run_command(ID_EDIT_PASTE);
  composer->run_command(ID_EDIT_SELECT_ALL);
  EXPECT_EQ(composer->form().subject, "");
  EXPECT_EQ(composer->form().body, "hi");
  EXPECT_TRUE(composer->body()->textCursor().hasSelection());
  composer->update_state(ID_EDIT_UNDO, state);
  EXPECT_TRUE(state.enabled);
  EXPECT_TRUE(script_.messages().empty());
}

// The multimedia list: lines named by the items' type names, the counter
// after a line inserted before another; items leave the mailbox document
// with their lines and with the composer.
TEST_F(Composer, ItemsAreInsertedNamedOpenedAndDeleted) {
  start_with("CN-GB");
  const std::string wave = test_wave(3000);
  std::ofstream(file("in.wav"), std::ios::binary) << wave;
  std::ofstream(file("in.bmp"), std::ios::binary) << test_bitmap(6, 4);
  CEditorView* composer = compose("wang", "hi", "x");
  ASSERT_NE(composer, nullptr);
  QListWidget& list = *composer->items();
  CVelmarDocData& mailbox = mailbox_of(*composer);
  object_servers& servers = app_->servers();

  answer_insert(0, file("in.bmp"));
  composer->run_command(ID_COMPOSE_INSERT_OBJECT);
  composer->run_command(ID_COMPOSE_INSERT_BEFORE);  // nothing chosen
  list.item(0)->setSelected(true);
  answer_insert(1, file("in.wav"));
  composer->run_command(ID_COMPOSE_INSERT_BEFORE);
  list.clearSelection();
  answer_insert(0);  // a new picture, shown in its window
  composer->run_command(ID_OLE_INSERT_NEW);
  script_.press_cancel(IDD_INSERT_OBJECT);
  composer->run_command(ID_COMPOSE_INSERT_OBJECT);
  EXPECT_EQ(lines(list), (strings{"Sound2", "Paintbrush Picture", "Paintbrush Picture"}));
  ASSERT_EQ(mailbox.items.size(), 3u);
  EXPECT_EQ(mailbox.items[2]->display_name(), "Paintbrush Picture");
  ASSERT_NE(servers.window_of(*mailbox.items[2]), nullptr);
  composer->run_command(ID_CANCEL_EDIT_CNTR);
  qt_flush();
  EXPECT_EQ(servers.window_of(*mailbox.items[2]), nullptr) << "Escape closes the new picture";

  emit list.itemDoubleClicked(list.item(0));  // nothing chosen
  list.item(0)->setSelected(true);
  list.item(2)->setSelected(true);
  emit list.itemDoubleClicked(list.item(0));
  list.item(2)->setSelected(false);
  emit list.itemDoubleClicked(list.item(0));
  auto* sound = dynamic_cast<CSoundWindow*>(servers.window_of(*mailbox.items[1]));
  ASSERT_NE(sound, nullptr) << "the sound opens, which the line above the picture names";
  EXPECT_TRUE(sound->wave() == wave);

  list.item(2)->setSelected(true);
  composer->run_command(ID_COMPOSE_DELETE_ITEMS);
  qt_flush();
  EXPECT_EQ(lines(list), strings{"Paintbrush Picture"});
  ASSERT_EQ(mailbox.items.size(), 1u);
  EXPECT_EQ(mailbox.items[0]->GetTypeName(), "Paintbrush Picture");
  EXPECT_EQ(script_.messages(), (strings{"你应该选择一项", "选择发生错误!", "你只能选择一项"}));

  script_.answer(IDYES);
  composer->run_command(ID_COMPOSE_ABANDON);
  qt_flush();
  EXPECT_TRUE(mailbox.items.empty()) << "the composer's items go with it";
}

// A picture and a sound composed, sent, put into Dovecot, fetched back and
// opened from the viewer, the letter sent for one environment and read in
// another; a megabyte of sound arrives whole through the layouts that read
// a wave file's length from its header.
struct media_row {
  std::string name;
  long sent_for;
  long read_for;
  std::size_t samples;
};

class Multimedia : public Delivering, public testing::WithParamInterface<media_row> {};

TEST_P(Multimedia, ArriveAndOpenAsInserted) {
  const media_row& row = GetParam();
  start_with("CN-GB");
  app_->settings().oper_system = row.sent_for;
  QImage picture(23, 11, QImage::Format_RGB32);
  picture.fill(QColor(0, 90, 200));
  for (int x = 0; x < 23; ++x)
    picture.setPixel(x, x % 11, qRgb(255, x * 10, 0));
  ASSERT_TRUE(picture.save(QString::fromStdString(file("in.png")), "PNG"));
  const std::string wave = test_wave(row.samples, 7);
  std::ofstream(file("in.wav"), std::ios::binary) << wave;

  CEditorView* composer = compose("wang@pku.edu.cn", "pictures", "see below");
  ASSERT_NE(composer, nullptr);
  answer_insert(0, file("in.png"));
  composer->run_command(ID_COMPOSE_INSERT_OBJECT);
  answer_insert(1, file("in.wav"));
  composer->run_command(ID_COMPOSE_INSERT_OBJECT);
  composer->run_command(ID_COMPOSE_SEND);
  qt_flush();
  EXPECT_EQ(script_.messages(), strings{" 发信成功! "});

  std::vector<smtp_sink_server::letter> sent = sink_.letters();
  ASSERT_EQ(sent.size(), 1u);
  json found = read_sent(sent[0].content);
  ASSERT_EQ(found["parts"].size(), 3u);
  EXPECT_EQ(found["parts"][1]["type"], "image/bitmap");
  EXPECT_EQ(found["parts"][1]["encoding"], "base64");
  EXPECT_EQ(found["parts"][2]["type"], "audio/wav");
  EXPECT_EQ(found["parts"][2]["encoding"], "base64");
  EXPECT_TRUE(found["parts"][2]["hex"] == hex(wave)) << "the wave file, whole";

  app_->settings().oper_system = row.read_for;
  ASSERT_NO_FATAL_FAILURE(fetch_back(sent[0].content));
  auto* in = dynamic_cast<CVelmarDoc*>(app_->open_document_file(in_));
  ASSERT_NE(in, nullptr);
  ASSERT_EQ(in->data().letters.size(), 2u);
  EXPECT_TRUE(in->data().items.empty()) << "the composer's items left with it";
  in->data().current = 1;
  CListView* list = active_list();
  ASSERT_TRUE(list && list->mailbox() == in);
  list->open_viewer();
  auto* viewer = dynamic_cast<CViewerView*>(app_->active_view());
  ASSERT_NE(viewer, nullptr);
  CPartTextCtrl* text = viewer->part_text();
  for (const QString& placeholder : {QStringLiteral(">> IMAGE:"), QStringLiteral(">> AUDIO:")}) {
    QTextCursor cursor(text->document());
    const int at = text->toPlainText().indexOf(placeholder);
    ASSERT_GE(at, 0) << utf8(text->toPlainText());
    cursor.setPosition(at + 1);
    QTest::mouseDClick(text->viewport(), Qt::LeftButton, {}, text->cursorRect(cursor).center());
  }
  qt_flush();
  EXPECT_EQ(script_.messages(), (strings{" 发信成功! ", "取到 1 个邮件."}));
  ASSERT_EQ(in->data().items.size(), 2u);
  object_servers& servers = app_->servers();
  auto* picture_window = dynamic_cast<CPictureWindow*>(servers.window_of(*in->data().items[0]));
  auto* sound_window = dynamic_cast<CSoundWindow*>(servers.window_of(*in->data().items[1]));
  ASSERT_TRUE(picture_window && sound_window);
  EXPECT_EQ(picture_window->canvas()->grab().toImage().convertToFormat(QImage::Format_RGB32),
            picture);
  EXPECT_TRUE(sound_window->wave() == wave);
}

INSTANTIATE_TEST_SUITE_P(Rows, Multimedia,
                         testing::Values(media_row{"Windows95", 1, 1, 5000},
                                         media_row{"SentForNtReadFor95", 2, 1, 5000},
                                         media_row{"Windows3xMegabyteSound", 0, 0, 1 << 20},
                                         media_row{"NtMegabyteSound", 2, 2, 1 << 20}),
                         row_name());

}  // namespace
