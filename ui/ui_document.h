#pragma once

#include <QObject>
#include <string>
#include <vector>

#include "ui/ui_command_target.h"

class ui_doc_template;
class ui_view;

// A document: the data behind one or more views, with a title, a file and a
// modified flag. It is closed when its last view goes and then deletes itself.
class ui_document : public QObject, public ui_command_target {
 public:
  ui_document();
  ~ui_document() override;

  ui_doc_template* doc_template() const { return template_; }

  const std::string& title() const { return title_; }
  void set_title(const std::string& title);
  // The host path of the document's file, empty before it is first saved.
  const std::string& path_name() const { return path_; }
  // Sets the file; the title becomes its name without the extension, and the
  // file goes to the front of the recent file list.
  void set_path_name(const std::string& path);

  // Where the Save As dialog proposes a document without a file: this
  // folder, else the current one.
  void set_save_folder(const std::string& folder) { save_folder_ = folder; }

  bool is_modified() const { return modified_; }
  void set_modified(bool modified = true) { modified_ = modified; }

  const std::vector<ui_view*>& views() const { return views_; }
  // Every view but sender updates itself.
  void update_all_views(ui_view* sender, long hint = 0);

  // A fresh empty document.
  virtual bool on_new_document();
  // Reads the file; false with the reason (empty when the file is missing).
  virtual bool on_open_document(const std::string& path, std::string& reason);
  // Writes the file; false with the reason.
  virtual bool on_save_document(const std::string& path, std::string& reason);
  // Removes everything the document holds.
  virtual void delete_contents() {}

  // The framework's question when a modified document would be closed:
  // "Save changes to %1?" with Yes, No and Cancel. False when the user
  // cancels or the save fails.
  bool save_modified();
  // Saves to path, or through the Save As dialog when path is empty; false
  // when the user cancels or the save fails ("Failed to save document.").
  bool do_save(const std::string& path);
  // Closes every frame of the document without asking; the document is
  // deleted soon after.
  void on_close_document();
  // True once the document is closed.
  bool closing() const { return closing_; }

  void add_view(ui_view* view);
  void remove_view(ui_view* view);

 private:
  friend class ui_doc_template;
  ui_doc_template* template_ = nullptr;
  std::string title_;
  std::string path_;
  std::string save_folder_;
  bool modified_ = false;
  bool closing_ = false;
  std::vector<ui_view*> views_;
};
