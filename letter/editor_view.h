#pragma once

#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "letter/composer_item.h"
#include "letter/viewer_host.h"
#include "ui/ui_view.h"

class QLineEdit;
class QListWidget;
class QPushButton;
class QTextEdit;

// The composer: a letter being written, in a frame of its own on a mailbox.
// Send ("发信") keeps a copy in Out, sends the letter over SMTP, says how it
// went and closes the window; Abandon ("放弃") closes it once the user agrees.
class CEditorView : public QWidget, public ui_view {
 public:
  explicit CEditorView(viewer_host& host);
  ~CEditorView() override;

  QWidget* widget() override { return this; }
  QSize sizeHint() const override { return {640, 520}; }
  // The letter does not follow the mailbox.
  void on_update(ui_view*, long) override {}

  enum class field { subject, from, to, cc, bcc };
  QLineEdit* line(field which) const;
  QTextEdit* body() const { return body_; }
  QListWidget* attachments() const { return attachments_; }
  QListWidget* items() const { return items_; }
  QPushButton* send_button() const { return send_; }
  QPushButton* abandon_button() const { return abandon_; }

  // Fills a field or the body with UTF-8 text; CR LF line ends in the body
  // become lines.
  void set_line(field which, const std::string& text);
  void set_body(const std::string& text);
  // The fields, the body and the attached files as the user typed them.
  compose_form form() const;

  void on_send();
  void on_abandon();
  void on_add_file();
  void on_remove_file();
  void on_insert_object();
  void on_insert_before();
  void on_delete_items();
  void on_open_item();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  // The field with the focus among the body and the lines, or null.
  QWidget* edit_focus() const;
  void edit_command(void (*act)(QWidget*));
  void close_frame();

  viewer_host& host_;
  QPushButton* send_;
  QPushButton* abandon_;
  std::vector<QLineEdit*> lines_;  // by field
  QTextEdit* body_;
  QListWidget* attachments_;
  QPushButton* add_file_;
  QPushButton* remove_file_;
  QListWidget* items_;
  QPushButton* insert_object_;
  QPushButton* insert_before_;
  QPushButton* delete_items_;
  std::vector<std::unique_ptr<composer_item>> item_list_;  // in the order of the lines
  int inserted_ = 0;
};

// The composer's commands and its multimedia list.
enum : int {
  ID_COMPOSE_INSERT_BEFORE = 197,
  ID_COMPOSE_DELETE_ITEMS = 198,
  ID_COMPOSE_INSERT_OBJECT = 199,
  ID_COMPOSE_SEND = 206,
  ID_COMPOSE_ABANDON = 207,
  ID_COMPOSE_ADD_FILE = 214,
  ID_COMPOSE_REMOVE_FILE = 215,
  IDC_COMPOSE_ITEMS = 1042,
};

// Where the body begins.
inline constexpr int kComposerBodyTop = 199;
