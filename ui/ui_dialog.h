#pragma once

#include <QColor>
#include <QDialog>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

// A modal dialog whose controls carry the program's control ids. A derived
// dialog builds its controls in its constructor, fills them from its data in
// on_init_dialog and takes them back in on_ok, which may refuse (the dialog
// then stays open). run() shows it through the asker in force.
class ui_dialog : public QDialog {
 public:
  // The background and text colours of every dialog and message box.
  static void set_colors(const QColor& background, const QColor& text);
  static void apply_colors(QWidget* window);

  ui_dialog(int resource, const std::string& title, QWidget* parent = nullptr);

  int resource() const { return resource_; }
  std::string title() const;

  // Prepares the controls and runs the dialog: IDOK or IDCANCEL.
  int run();
  // Fills the controls from the dialog's data (done by run).
  void prepare();
  // The OK button: takes the controls' values; false refuses and keeps the
  // dialog open.
  bool try_ok();
  // The OK button pressed: closes the dialog when try_ok takes the values.
  void accept() override;

  // Controls by id.
  QWidget* control(int id) const;
  QLineEdit* edit(int id) const;
  QCheckBox* check_box(int id) const;
  QRadioButton* radio(int id) const;
  QListWidget* list_box(int id) const;
  QPushButton* button(int id) const;
  std::vector<int> control_ids() const;

  // Control texts and states in UTF-8, for the dialog's code and for tests.
  std::string text(int id) const;
  void set_text(int id, const std::string& text);
  bool checked(int id) const;
  void set_checked(int id, bool checked);
  // The selected line of a list box, -1 for none.
  int selection(int id) const;
  void select(int id, int line);
  // The texts the user sees: the title, then every label, box, button and
  // list line in the order they were made.
  std::vector<std::string> shown_texts() const;

 protected:
  virtual void on_init_dialog() {}
  virtual bool on_ok() { return true; }

  // Builders: each makes a control, gives it its id (0 for none) and keeps it
  // in order; the dialog places it in its layouts.
  QLabel* make_label(int id, const std::string& text);
  QLineEdit* make_edit(int id);
  QCheckBox* make_check_box(int id, const std::string& text);
  QRadioButton* make_radio(QButtonGroup* group, int id, const std::string& text);
  // A sorted list box keeps its lines in order without regard to case.
  QListWidget* make_list_box(int id, bool sorted);
  // Adds a line: at its place in a sorted list box, else at the end.
  void add_list_line(int id, const std::string& text);
  QGroupBox* make_group(const std::string& text);
  // A row of the OK button (id 1) and, when it has a text, Cancel (id 2).
  QWidget* make_buttons(const std::string& ok_text, const std::optional<std::string>& cancel_text);

  // Checks made while taking values, as the framework does: each shows its
  // message, puts the focus on the control and returns false on failure.
  bool check_max_chars(int id, int max);
  std::optional<long> take_int(int id);

 private:
  void add(int id, QWidget* control);

  int resource_;
  std::map<int, QWidget*> controls_;
  std::vector<QWidget*> order_;
  bool prepared_ = false;
};
