#include "ui/ui_main_frame.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTextEdit>

#include "ui/ui_application.h"
#include "ui/ui_child_frame.h"
#include "ui/ui_doc_template.h"
#include "ui/ui_document.h"
#include "ui/ui_ids.h"
#include "ui/ui_lock_keys.h"
#include "ui/ui_text.h"
#include "ui/ui_view.h"

namespace {

constexpr const char* kIndicatorNames[] = {"CAP", "NUM", "SCRL"};
constexpr unsigned kIndicatorLocks[] = {LOCK_CAPS, LOCK_NUM, LOCK_SCROLL};
constexpr int kWindowListSize = 9;

bool has_item(QMenu* popup, int id) {
  for (QAction* action : popup->actions())
    if (ui_menu::item_id(action) == id) return true;
  return false;
}

bool is_window_popup(QMenu* popup) {
  return has_item(popup, ID_WINDOW_CASCADE);
}

// The edit control with the focus, for the Edit commands.
QWidget* focus_edit() {
  QWidget* focus = QApplication::focusWidget();
  if (qobject_cast<QLineEdit*>(focus) || qobject_cast<QTextEdit*>(focus) ||
      qobject_cast<QPlainTextEdit*>(focus))
    return focus;
  return nullptr;
}

template <class Action>
void on_focus_edit(Action action) {
  QWidget* focus = focus_edit();
  if (auto* line = qobject_cast<QLineEdit*>(focus)) action(line);
  if (auto* text = qobject_cast<QTextEdit*>(focus)) action(text);
  if (auto* plain = qobject_cast<QPlainTextEdit*>(focus)) action(plain);
}

// The recent file items show the files, the first item a greyed title when
// there are none.
void fill_recent_files(QMenu* popup) {
  const std::vector<std::string>& recent = ui_application::instance()->recent_files();
  QString title;
  for (QAction* action : popup->actions()) {
    int index = ui_menu::item_id(action) - ID_FILE_MRU_FILE1;
    if (index < 0 || index >= kRecentFileCount) continue;
    if (!action->property("title").isValid()) action->setProperty("title", action->text());
    if (static_cast<std::size_t>(index) < recent.size()) {
      action->setText(QString("&%1 %2").arg(index + 1).arg(qstr(recent[index])));
      action->setVisible(true);
    } else {
      action->setText(action->property("title").toString());
      action->setVisible(index == 0);
    }
  }
}

}  // namespace

ui_main_frame::ui_main_frame(const ui_menu_resource& menu) : own_menu_(menu) {
  mdi_ = new QMdiArea(this);
  mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setCentralWidget(mdi_);
  connect(mdi_, &QMdiArea::subWindowActivated, this, [this] {
    update_menu();
    update_title();
  });

  message_ = new QLabel(qstr(kIdleMessage));
  statusBar()->addWidget(message_, 1);
  for (int i = 0; i < 3; ++i) {
    indicators_[i] = new QLabel(kIndicatorNames[i]);
    indicators_[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    indicators_[i]->setAlignment(Qt::AlignCenter);
    indicators_[i]->setMinimumWidth(indicators_[i]->fontMetrics().horizontalAdvance("SCRL") + 8);
    statusBar()->addPermanentWidget(indicators_[i]);
  }
  refresh_indicators();
  qApp->installEventFilter(this);
  setAcceptDrops(true);

  on_command(ID_WINDOW_CASCADE, [this] { mdi_->cascadeSubWindows(); });
  on_command(ID_WINDOW_TILE_HORZ, [this] { mdi_->tileSubWindows(); });
  on_command(ID_WINDOW_NEW, [this] {
    ui_child_frame* frame = active_frame();
    ui_document* document = frame && frame->view() ? frame->view()->document() : nullptr;
    if (!document || !frame->doc_template()) return;
    ui_child_frame* another = frame->doc_template()->create_new_frame(*document);
    frame->doc_template()->initial_update_frame(another);
  });
  on_state(ID_WINDOW_NEW, [this](ui_command_state& state) { state.enabled = active_frame(); });
  on_command_range(ID_WINDOW_FIRST_CHILD, ID_WINDOW_FIRST_CHILD + kWindowListSize - 1,
                   [this](int id) {
                     QList<QMdiSubWindow*> windows = mdi_->subWindowList();
                     int index = id - ID_WINDOW_FIRST_CHILD;
                     if (index < windows.size()) mdi_->setActiveSubWindow(windows[index]);
                   });
  on_state_range(ID_WINDOW_FIRST_CHILD, ID_WINDOW_FIRST_CHILD + kWindowListSize - 1,
                 [this](int id, ui_command_state& state) {
                   QList<QMdiSubWindow*> windows = mdi_->subWindowList();
                   int index = id - ID_WINDOW_FIRST_CHILD;
                   state.checked =
                       index < windows.size() && windows[index] == mdi_->currentSubWindow();
                 });

  on_command(ID_EDIT_COPY, [] { on_focus_edit([](auto* edit) { edit->copy(); }); });
  on_command(ID_EDIT_CUT, [] { on_focus_edit([](auto* edit) { edit->cut(); }); });
  on_command(ID_EDIT_PASTE, [] { on_focus_edit([](auto* edit) { edit->paste(); }); });
  on_command(ID_EDIT_UNDO, [] { on_focus_edit([](auto* edit) { edit->undo(); }); });
  on_command(ID_EDIT_SELECT_ALL, [] { on_focus_edit([](auto* edit) { edit->selectAll(); }); });
  for (int id : {ID_EDIT_COPY, ID_EDIT_CUT, ID_EDIT_PASTE, ID_EDIT_UNDO, ID_EDIT_SELECT_ALL})
    on_state(id, [](ui_command_state& state) { state.enabled = focus_edit() != nullptr; });
  on_command(ID_APP_EXIT, [this] { close(); });
}

ui_main_frame::~ui_main_frame() {
  qApp->removeEventFilter(this);
  menuBar()->clear();
}

ui_child_frame* ui_main_frame::active_frame() const {
  return dynamic_cast<ui_child_frame*>(mdi_->currentSubWindow());
}

void ui_main_frame::add_frame(ui_child_frame* frame) {
  mdi_->addSubWindow(frame);
  // A new window takes the size its view asks for, within the area.
  QSize wanted = frame->sizeHint().boundedTo(mdi_->viewport()->size());
  if (wanted.width() > 0 && wanted.height() > 0) frame->resize(wanted);
}

ui_menu* ui_main_frame::menu(const ui_menu_resource& resource) {
  auto found = menus_.find(resource.id);
  if (found != menus_.end()) return found->second.get();
  auto built = std::make_unique<ui_menu>(
      resource, [](int id) { ui_application::instance()->run_command(id); },
      [](int id) { return ui_application::instance()->command_state(id); });
  ui_menu* menu = built.get();
  menus_[resource.id] = std::move(built);
  for (QMenu* popup : menu->popups()) {
    if (is_window_popup(popup))
      connect(popup, &QMenu::aboutToShow, this, [this, popup] { fill_window_list(popup); });
    if (has_item(popup, ID_FILE_MRU_FILE1))
      connect(popup, &QMenu::aboutToShow, this, [popup] { fill_recent_files(popup); });
  }
  on_menu_built(*menu);
  return menu;
}

std::vector<ui_menu*> ui_main_frame::menus() const {
  std::vector<ui_menu*> built;
  for (const auto& [id, menu] : menus_)
    built.push_back(menu.get());
  return built;
}

void ui_main_frame::update_menu() {
  ui_child_frame* frame = active_frame();
  const ui_menu_resource* resource = frame && frame->doc_template() && frame->doc_template()->menu()
                                         ? frame->doc_template()->menu()
                                         : &own_menu_;
  show_menu(menu(*resource));
}

void ui_main_frame::show_menu(ui_menu* menu) {
  if (in_use_ == menu) return;
  menuBar()->clear();
  for (QMenu* popup : menu->popups())
    menuBar()->addMenu(popup);
  in_use_ = menu;
}

void ui_main_frame::fill_window_list(QMenu* popup) {
  for (QAction* action : popup->actions()) {
    int id = ui_menu::item_id(action);
    if (id >= ID_WINDOW_FIRST_CHILD || action->property("window_list").toBool()) {
      popup->removeAction(action);
      delete action;
    }
  }
  QList<QMdiSubWindow*> windows = mdi_->subWindowList();
  if (windows.isEmpty()) return;
  popup->addSeparator()->setProperty("window_list", true);
  for (int i = 0; i < windows.size() && i < kWindowListSize; ++i) {
    QAction* action = popup->addAction(QString("&%1 %2").arg(i + 1).arg(windows[i]->windowTitle()));
    int id = ID_WINDOW_FIRST_CHILD + i;
    action->setData(id);
    action->setCheckable(true);
    action->setChecked(windows[i] == mdi_->currentSubWindow());
    connect(action, &QAction::triggered, this,
            [id] { ui_application::instance()->run_command(id); });
  }
}

void ui_main_frame::set_message(const std::string& text) {
  message_->setText(text.empty() ? qstr(kIdleMessage) : qstr(text));
}

std::string ui_main_frame::message() const {
  return utf8(message_->text());
}

void ui_main_frame::update_title() {
  std::string title = ui_application::instance() ? ui_application::instance()->name() : "";
  ui_child_frame* frame = active_frame();
  ui_document* document = frame && frame->view() ? frame->view()->document() : nullptr;
  if (document) title += " - " + document->title();
  setWindowTitle(qstr(title));
}

void ui_main_frame::refresh_indicators() {
  std::optional<unsigned> lamps = ui_lock_keys();
  for (int i = 0; i < 3; ++i)
    indicators_[i]->setEnabled(lamps && (*lamps & kIndicatorLocks[i]));
}

bool ui_main_frame::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyRelease || event->type() == QEvent::WindowActivate)
    refresh_indicators();
  return QMainWindow::eventFilter(watched, event);
}

bool ui_main_frame::event(QEvent* event) {
  if (event->type() == QEvent::StatusTip) {
    set_message(utf8(static_cast<QStatusTipEvent*>(event)->tip()));
    return true;
  }
  return QMainWindow::event(event);
}

void ui_main_frame::closeEvent(QCloseEvent* event) {
  ui_application* application = ui_application::instance();
  if (application && !application->exit()) {
    event->ignore();
    return;
  }
  event->accept();
}

void ui_main_frame::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void ui_main_frame::dropEvent(QDropEvent* event) {
  for (const QUrl& url : event->mimeData()->urls())
    if (url.isLocalFile()) ui_application::instance()->open_document_file(utf8(url.toLocalFile()));
  event->acceptProposedAction();
}
