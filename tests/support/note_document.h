#pragma once

#include <QLabel>
#include <fstream>
#include <sstream>
#include <string>

#include "ui/ui_document.h"
#include "ui/ui_view.h"

// A small document kind for the framework's tests: one line of text kept in
// a ".note" file; a file that does not start with "note:" cannot be read.
class note_document : public ui_document {
 public:
  std::string text;
  bool fail_saves = false;

  bool on_open_document(const std::string& path, std::string& reason) override {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
      reason = "cannot read " + path;
      return false;
    }
    std::stringstream contents;
    contents << in.rdbuf();
    std::string all = contents.str();
    if (all.rfind("note:", 0) != 0) {
      reason = "not a note";
      return false;
    }
    text = all.substr(5);
    return true;
  }
  bool on_save_document(const std::string& path, std::string& reason) override {
    if (fail_saves) {
      reason = "the disk is full";
      return false;
    }
    std::ofstream(path, std::ios::binary) << "note:" << text;
    return true;
  }
  void delete_contents() override { text.clear(); }
};

class note_view : public QLabel, public ui_view {
 public:
  QWidget* widget() override { return this; }
  void on_update(ui_view*, long) override {
    ++updates;
    if (auto* note = dynamic_cast<note_document*>(document()))
      setText(QString::fromStdString(note->text));
  }
  int updates = 0;
};
