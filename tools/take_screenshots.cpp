// Takes the README's pictures of the desktop program: real windows on the
// display it is given (a virtual one under xvfb-run), in the default style.
//   take_screenshots OUTPUT_FOLDER SAMPLES_FOLDER
//   take_screenshots --demo OUTPUT_FOLDER     run by demo/demo.sh in place of
//                                             kestrel: the demo's road
#include <stdlib.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLinearGradient>
#include <QListWidget>
#include <QMdiArea>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QTextEdit>
#include <QThread>
#include <QTimer>
#include <QTranslator>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/chinese_dialog.h"
#include "app/fetch_dialog.h"
#include "app/language.h"
#include "app/list_view.h"
#include "app/main_frame.h"
#include "app/network_dialog.h"
#include "app/resource_ids.h"
#include "app/server_session.h"
#include "app/velmar_app.h"
#include "app/velmar_doc.h"
#include "letter/editor_view.h"
#include "media/item_commands.h"
#include "media/media_ids.h"
#include "media/object_servers.h"
#include "media/picture_window.h"
#include "model/box_file.h"
#include "model/huge.h"
#include "model/object_files.h"
#include "model/part.h"
#include "ui/qt_progress.h"
#include "ui/ui_child_frame.h"
#include "ui/ui_dialog.h"
#include "ui/ui_ids.h"
#include "ui/ui_script.h"
#include "ui/ui_text.h"

namespace fs = std::filesystem;

namespace {

// Lets the windows be mapped and painted.
void settle() {
  QElapsedTimer timer;
  timer.start();
  while (timer.elapsed() < 400) {
    QCoreApplication::processEvents();
    QThread::msleep(20);
  }
}

bool save(QWidget* window, const fs::path& file) {
  settle();
  QPixmap picture = window->screen()->grabWindow(window->winId());
  if (picture.isNull() || !picture.save(QString::fromStdString(file.string()))) {
    std::fprintf(stderr, "take_screenshots: cannot save %s\n", file.c_str());
    return false;
  }
  std::printf("%s\n", file.c_str());
  return true;
}

std::string read_file(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream contents;
  contents << in.rdbuf();
  return contents.str();
}

std::unique_ptr<CAletter> letter(const char* status, std::uint32_t size, const char* date,
                                 const char* name, const char* address, const char* subject) {
  auto made = std::make_unique<CAletter>();
  made->flags = CFlags(size, status);
  made->envelope.date = date;
  made->envelope.subject = subject;
  made->envelope.from = std::make_unique<CAddress>(std::make_unique<CAddritem>(name, address));
  made->body.subtype = "PLAIN";
  made->body.text = "...";
  return made;
}

CBody text_part(const char* charset, std::string text, const char* subtype = "PLAIN") {
  CBody part;
  part.subtype = subtype;
  part.parameters = std::make_unique<CParameter>();
  part.parameters->items.push_back(std::make_unique<CParaitem>("CHARSET", charset));
  part.text = std::move(text);
  return part;
}

// A letter in GB, Big5, ISO-2022-CN and UTF-8, with a picture, its subject
// an encoded word.
std::unique_ptr<CAletter> chinese_letter() {
  auto made = letter("N  ", 30411, " 8-Dec-1996 09:05:12 +0800", "\xC0\xEE\xC3\xF7",
                     "li@pku.edu.cn", "=?GB2312?B?u+HS6c2o1qqjusqutv7UwsH5yNU=?=");
  made->envelope.to =
      std::make_unique<CAddress>(std::make_unique<CAddritem>("", "wang@ustc.edu.cn"));
  made->body.type = 1;
  made->body.subtype = "MIXED";
  auto parts = std::make_unique<CPart>();
  CBody texts[] = {
      text_part("CN-GB",
                "\xB8\xF7\xCE\xBB\xCD\xAC\xCA\xC2\xA3\xBA\r\n    \xCA\xAE\xB6\xFE\xD4\xC2"
                "\xC1\xF9\xC8\xD5\xC9\xCF\xCE\xE7\xBE\xC5\xB5\xE3\xD4\xDA\xCD\xBC\xCA\xE9"
                "\xB9\xDD\xC8\xFD\xC2\xA5\xBF\xAA\xBB\xE1\xA3\xAC\xCC\xD6\xC2\xDB\xD6\xD0"
                "\xCE\xF7\xCE\xC4\xD3\xCA\xBC\xFE\xCF\xB5\xCD\xB3\xA1\xA3\r\n\xC7\xEB\xD7\xBC"
                "\xCA\xB1\xB2\xCE\xBC\xD3\xA1\xA3"),
      text_part("CN-BIG5",
                "\xA5\x78\xA5\x5F\xAA\xBA\xAA\x42\xA4\xCD\xA1\x47\xB7\x7C\xC4\xB3\xB0\x4F"
                "\xBF\xFD\xA4\x77\xB1\x48\xA5\x58\xA1\x41\xBD\xD0\xAC\x64\xA6\xAC\xA1\x43"),
      text_part("ISO-2022-CN",
                "\x1B$)A\x0E\x3C\x72\x4C\x65\x23\x3A\x53\x4A\x3C\x7E\x52\x51\x4B\x4D\x34\x6F"
                "\x21\x23\x0F"),
      text_part("UTF-8",
                "UTF-8: \xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\xE3\x82\x82\xE8\xAA\xAD\xE3\x82"
                "\x81\xE3\x81\xBE\xE3\x81\x99\xE3\x80\x82"),
      text_part("GB2312", "<p>\xD6\xD0\xCE\xC4</p>", "HTML")};
  for (CBody& part : texts)
    parts->items.push_back(std::make_unique<CPartitem>(std::move(part)));
  CBody picture;
  picture.type = 5;
  picture.subtype = "GIF";
  picture.parameters = std::make_unique<CParameter>();
  picture.parameters->items.push_back(std::make_unique<CParaitem>("NAME", "map.gif"));
  auto bytes = std::make_unique<CHuge>();
  bytes->assign("GIF89a");
  picture.contents = std::move(bytes);
  parts->items.push_back(std::make_unique<CPartitem>(std::move(picture)));
  made->body.contents = std::move(parts);
  return made;
}

// A picture drawn here, as a bitmap file.
std::string picture_file() {
  QImage image(420, 260, QImage::Format_RGB32);
  QPainter painter(&image);
  QLinearGradient sky(0, 0, 0, 260);
  sky.setColorAt(0, QColor(90, 150, 220));
  sky.setColorAt(1, QColor(230, 240, 250));
  painter.fillRect(image.rect(), sky);
  painter.setBrush(QColor(70, 120, 60));
  painter.setPen(Qt::NoPen);
  painter.drawEllipse(QPoint(120, 300), 260, 110);
  painter.setBrush(QColor(250, 210, 60));
  painter.drawEllipse(QPoint(340, 60), 30, 30);
  painter.setPen(Qt::black);
  painter.drawText(QRect(0, 10, 300, 30), Qt::AlignCenter, QStringLiteral("未名湖 Weiming Lake"));
  painter.end();
  return bitmap_file_of(image);
}

// A wave file of a second and a half of a falling tone.
std::string sound_file() {
  std::string wave = empty_wave_file();
  for (int i = 0; i < 33075; ++i) {
    const double at = i / 22050.0;
    wave += static_cast<char>(128 + 100 * std::sin(2 * 3.14159265 * (660 - 200 * at) * at));
  }
  put_le32(wave, 4, static_cast<std::uint32_t>(wave.size() - 8));
  put_le32(wave, 40, static_cast<std::uint32_t>(wave.size() - 44));
  return wave;
}

// A received part of a letter holding the file.
CBody object_part(std::uint16_t type, const char* subtype, const std::string& file) {
  CBody part;
  part.type = type;
  part.subtype = subtype;
  auto bytes = std::make_unique<CHuge>();
  bytes->assign(file);
  part.contents = std::move(bytes);
  return part;
}

// An In mailbox of sample letters, GB text in GB bytes.
void write_in_mailbox(const std::string& path) {
  CVelmarDocData data;
  data.mailbox_name = "IN";
  data.current = 2;
  data.letters.push_back(letter("   ", 2311, " 2-Dec-1996 09:12:44 +0800", "\xC0\xEE\xC3\xF7",
                                "li@pku.edu.cn", "\xBB\xE1\xD2\xE9\xCD\xA8\xD6\xAA"));
  data.letters.push_back(letter(" A ", 5120, " 3-Dec-1996 14:02:10 +0800", "Wang Fang",
                                "wang@ustc.edu.cn", "Re: RFC 1922 test letters"));
  data.letters.push_back(letter("N  ", 48213, " 5-Dec-1996 10:30:00 +0800", "\xD5\xC5\xCE\xB0",
                                "zhang@tsinghua.edu.cn",
                                "\xD5\xD5\xC6\xAC\xBA\xCD\xC9\xF9\xD2\xF4 (picture and sound)"));
  data.letters.push_back(letter("N  ", 1734, " 5-Dec-1996 18:45:21 +0000", "",
                                "postmaster@mail.example.cn", "Mail delivery report"));
  data.letters.push_back(letter("N D", 902, " 6-Dec-1996 08:00:03 +0800", "Chen Jing",
                                "chen@ict.ac.cn", "\xD6\xDC\xC4\xA9\xBE\xDB\xB2\xCD?"));
  data.letters.push_back(letter("N  ", 12877, " 7-Dec-1996 11:17:54 +0800",
                                "\xC1\xF5\xBA\xA3\xD1\xE0", "liu@nju.edu.cn",
                                "\xC2\xDB\xCE\xC4\xB3\xF5\xB8\xE5 (ISO-2022-CN)"));
  data.letters.push_back(chinese_letter());
  std::string reason;
  if (!box_file_save(path, data, reason))
    std::fprintf(stderr, "take_screenshots: %s\n", reason.c_str());
}

// The line of the letter with this subject.
int line_of(const CVelmarDoc& mailbox, const std::string& subject) {
  const auto& letters = mailbox.data().letters;
  for (std::size_t line = 0; line < letters.size(); ++line)
    if (letters[line]->envelope.subject == subject) return static_cast<int>(line);
  return -1;
}

// The demo's letters fetched with its password, the In list, the GB letter,
// the picture of the multimedia letter, and a reply quoting the GB letter.
bool take_demo_pictures(const fs::path& output) {
  bool ok = true;
  auto script = std::make_unique<ui_script>();
  script->press_ok(IDD_ENVIRONMENT)
      .answer_dialog(IDD_FETCH,
                     [](ui_dialog& dialog) {
                       dialog.set_text(IDC_FETCH_PASSWORD, "demo");
                       return true;
                     })
      .answer(IDNO);  // the large letter is taken
  CVelmarApp app;
  if (!app.init_instance({}, profile_file::default_path())) return false;
  script.reset();
  CMainFrame* frame = app.frame();
  frame->showNormal();
  frame->setGeometry(20, 20, 900, 560);
  settle();
  ui_child_frame* in_frame = app.active_frame();
  auto* list = in_frame ? dynamic_cast<CListView*>(in_frame->view()) : nullptr;
  auto* mailbox = list ? list->mailbox() : nullptr;
  if (!mailbox) return false;
  const int gb = line_of(*mailbox, "=?GB2312?B?v6q74c2o1qo=?=");
  const int multimedia = line_of(*mailbox, "=?GB2312?B?zbzGrLrNyfnS9A==?=");
  if (gb < 0 || multimedia < 0) return false;
  in_frame->setGeometry(0, 0, 880, 330);
  list->select_lines({gb});
  ok = save(frame, output / "demo-list.png") && ok;

  CFetchDialog fetch(frame);
  fetch.account = app.settings().imap_account;
  fetch.password = "demo";
  fetch.prepare();
  fetch.show();
  ok = save(&fetch, output / "demo-fetch.png") && ok;
  fetch.hide();

  list->select_lines({gb});
  list->open_viewer();
  ui_child_frame* viewer = list->viewer_frame();
  viewer->setGeometry(0, 0, 870, 500);
  ok = save(frame, output / "demo-gb-letter.png") && ok;
  viewer->close_quietly();

  const CBody& picture = mailbox->data().letters[multimedia]->body.part()->items[1]->body;
  open_part_object(app.items_of(*mailbox), picture);
  if (object_window* window = app.servers().window_of(*mailbox->data().items.back())) {
    window->move(60, 60);
    ok = save(window, output / "demo-picture.png") && ok;
    window->close();
  } else {
    ok = false;
  }

  in_frame->activate();
  auto answers = std::make_unique<ui_script>();
  answers->answer(IDYES);  // quote the letter
  list->select_lines({gb});
  list->run_command(202);
  if (auto* composer = dynamic_cast<CEditorView*>(app.active_view())) {
    composer->set_body("李华：\r\n\r\n收到，我一定准时参加。\r\n\r\n王\r\n\r\n" +
                       utf8(composer->body()->toPlainText()));
    app.active_frame()->setGeometry(0, 0, 870, 500);
    ok = save(frame, output / "demo-reply.png") && ok;
    app.active_frame()->close_quietly();
  } else {
    ok = false;
  }
  answers.reset();
  app.close_all_documents();
  settle();
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--demo") {
    QApplication qt(argc, argv);
    QTranslator translator;
    install_qt_translation(translator);
    return take_demo_pictures(fs::absolute(argv[2])) ? 0 : 1;
  }
  if (argc != 3) {
    std::fprintf(stderr,
                 "usage: take_screenshots OUTPUT_FOLDER SAMPLES_FOLDER | take_screenshots --demo "
                 "OUTPUT_FOLDER\n");
    return 2;
  }
  fs::path output = fs::absolute(argv[1]);
  fs::path samples = fs::absolute(argv[2]);
  char pattern[] = "/tmp/kestrel-screenshots-XXXXXX";
  if (!mkdtemp(pattern)) return 1;
  fs::path work = pattern;
  std::string in = (work / "In.box").string();
  write_in_mailbox(in);
  std::ofstream(work / "KESTREL.INI")
      << "[Configuration]\nIMAPAccount=li@mail.pku.edu.cn\nRealName=Li Ming\n"
      << "ReturnAddress=li@pku.edu.cn\nSMTPServer=smtp.pku.edu.cn\nInPath=" << in
      << "\nWorkDirectory=" << work.string() << "\nHZOS=3\nComposeCC=ISO-2022-CN\n"
      << "[Folders]\n文件夹1=Work\n文件夹2=Family\n[Environment]\nOperSystem=Microsoft Windows "
         "95\n";

  QApplication qt(argc, argv);
  // Qt's own buttons as the program shows them.
  QTranslator translator;
  install_qt_translation(translator);
  bool ok = true;
  {
    // A script answers the environment question of the start; real windows
    // ask everything after it.
    auto script = std::make_unique<ui_script>();
    script->press_ok(IDD_ENVIRONMENT);
    CVelmarApp app;
    if (!app.init_instance({}, (work / "KESTREL.INI").string())) return 1;
    script.reset();
    CMainFrame* frame = app.frame();
    frame->showNormal();
    frame->setGeometry(20, 20, 820, 520);
    settle();
    ui_child_frame* in_frame = app.active_frame();
    in_frame->setGeometry(0, 0, 800, 300);
    auto* list = dynamic_cast<CListView*>(in_frame->view());
    list->select_lines({2, 3});
    ok = save(frame, output / "main-window.png") && ok;

    CNetworkDialog network(frame);
    network.account = "li@mail.pku.edu.cn";
    network.real_name = "Li Ming";
    network.smtp_server = "smtp.pku.edu.cn";
    network.return_address = "li@pku.edu.cn";
    network.prepare();
    network.show();
    ok = save(&network, output / "network-dialog.png") && ok;
    network.hide();

    CChineseDialog chinese(frame);
    chinese.platform = 1;
    chinese.interchange_code = "CN-GB";
    chinese.prepare();
    chinese.show();
    ok = save(&chinese, output / "chinese-dialog.png") && ok;
    chinese.hide();

    CFetchDialog fetch(frame);
    fetch.account = "li@mail.pku.edu.cn";
    fetch.password = "secret";
    fetch.delete_on_server = true;
    fetch.prepare();
    fetch.show();
    ok = save(&fetch, output / "fetch-dialog.png") && ok;
    fetch.hide();
    {
      qt_progress progress(frame, "取邮件");
      progress.show_text("3 / 12 个邮件, 96 KB");
      ok = save(&progress, output / "fetch-progress.png") && ok;
    }
    // The question before a password goes in clear to a server without TLS.
    QTimer::singleShot(0, [&] {
      if (QWidget* question = QApplication::activeModalWidget()) {
        ok = save(question, output / "plain-login.png") && ok;
        question->close();
      } else {
        ok = false;
      }
    });
    char plain_login[512];
    std::snprintf(plain_login, sizeof plain_login, kPlainLogin, "mail.pku.edu.cn");
    ui_message_box(plain_login, MB_YESNO | MB_ICONQUESTION);

    struct part_picture {
      chinese_view view;
      const char* sample;
      const char* title;
      const char* picture;
    };
    auto* mailbox = dynamic_cast<CVelmarDoc*>(app.active_document());
    for (part_picture each :
         {part_picture{chinese_view::gb, "gb.txt", "中文 GB 字符", "gb-view.png"},
          part_picture{chinese_view::big5, "big5.txt", "中文 BIG5 字符", "big5-view.png"},
          part_picture{chinese_view::cns, "cns.txt", "中文 ISO-2022-CN 字符", "cns-view.png"},
          part_picture{chinese_view::huge, "letter.txt", "纯文本", "plain-view.png"}}) {
      CBody part;
      part.subtype = "PLAIN";
      part.text = read_file(samples / each.sample);
      ui_child_frame* window = app.open_part_window(each.view, *mailbox, part, each.title);
      window->setGeometry(10, 10, 700, 300);
      settle();
      ok = save(window, output / each.picture) && ok;
      window->close_quietly();
    }

    // The Chinese letter in the viewer, a part of it in the raw view, and
    // the viewer's print preview.
    list->select_lines({6});
    list->open_viewer();
    ui_child_frame* viewer = list->viewer_frame();
    viewer->setGeometry(0, 0, 790, 470);
    ok = save(frame, output / "viewer.png") && ok;
    const CBody& html = mailbox->data().letters[6]->body.part()->items[4]->body;
    ui_child_frame* raw = app.open_part_window(app.raw_template(), *mailbox, html, "显示原始数据");
    raw->setGeometry(60, 60, 500, 200);
    ok = save(frame, output / "raw-view.png") && ok;
    raw->close_quietly();

    // A picture and a sound of a letter in Kestrel's own windows.
    const char* object_pictures[] = {"picture-window.png", "sound-window.png"};
    CBody object_parts[] = {object_part(5, "BITMAP", picture_file()),
                            object_part(4, "WAV", sound_file())};
    for (int i = 0; i < 2; ++i) {
      open_part_object(app.items_of(*mailbox), object_parts[i]);
      object_window* window = app.servers().window_of(*mailbox->data().items.back());
      if (!window) {
        ok = false;
        continue;
      }
      window->move(40, 40);
      ok = save(window, output / object_pictures[i]) && ok;
      window->close();
    }
    viewer->activate();
    QTimer::singleShot(1500, [&] {
      if (QWidget* preview = QApplication::activeModalWidget()) {
        preview->resize(760, 560);
        ok = save(preview, output / "print-preview.png") && ok;
        preview->close();
      } else {
        ok = false;
      }
    });
    app.run_command(ID_FILE_PRINT_PREVIEW);

    // A new letter in Chinese with a file attached and a picture and a
    // sound inserted, then a reply to the Chinese letter quoting it.
    viewer->close_quietly();
    in_frame->activate();
    std::ofstream(work / "照片.jpg") << "JFIF";
    std::ofstream(work / "lake.bmp", std::ios::binary) << picture_file();
    std::ofstream(work / "tone.wav", std::ios::binary) << sound_file();
    auto from_file = [](int type, fs::path file) {
      return [type, file](ui_dialog& dialog) {
        dialog.select(IDC_OBJECT_TYPES, type);
        dialog.set_checked(IDC_CREATE_FROM_FILE, true);
        dialog.set_text(IDC_OBJECT_FILE, file.string());
        return true;
      };
    };
    auto answers = std::make_unique<ui_script>();
    answers->answer_file((work / "照片.jpg").string())
        .answer_dialog(IDD_INSERT_OBJECT, from_file(0, work / "lake.bmp"))
        .answer_dialog(IDD_INSERT_OBJECT, from_file(1, work / "tone.wav"))
        .answer(IDYES)
        .answer(IDYES)
        .answer(IDYES);
    list->run_command(201);
    if (auto* composer = dynamic_cast<CEditorView*>(app.active_view())) {
      composer->set_line(CEditorView::field::subject, "周末聚会");
      composer->set_line(CEditorView::field::to, "wang@pku.edu.cn");
      composer->set_line(CEditorView::field::cc, "zhang@tsinghua.edu.cn");
      composer->set_body("王先生：\r\n\r\n周六下午三点在未名湖边聚会，照片附上。\r\n\r\n李明");
      composer->run_command(ID_COMPOSE_ADD_FILE);
      composer->run_command(ID_COMPOSE_INSERT_OBJECT);
      composer->run_command(ID_COMPOSE_INSERT_OBJECT);
      app.active_frame()->setGeometry(0, 0, 790, 470);
      ok = save(frame, output / "composer.png") && ok;
      app.active_frame()->close_quietly();
    } else {
      ok = false;
    }
    list->select_lines({6});
    list->run_command(202);
    app.active_frame()->setGeometry(0, 0, 790, 470);
    ok = save(frame, output / "reply.png") && ok;
    answers.reset();
    app.close_all_documents();
    settle();
  }
  fs::remove_all(work);
  return ok ? 0 : 1;
}
