#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/ui_menu.h"

class ui_child_frame;
class ui_document;
class ui_view;

// Makes documents of one kind, each with a view in a child frame, and knows
// their menu and their strings. The document string holds seven fields
// separated by "\n": window title, document name, new-file name, file dialog
// filter name, extension, file type id and file type name.
class ui_doc_template {
 public:
  enum string_index {
    window_title = 0,
    doc_name,
    file_new_name,
    filter_name,
    filter_ext,
    file_type_id,
    file_type_name
  };

  using document_factory = std::function<ui_document*()>;
  using view_factory = std::function<ui_view*(ui_document& document)>;
  using frame_factory = std::function<ui_child_frame*()>;

  // The menu resource is the menu shown while a frame of this template is
  // active; null keeps the main frame's own.
  ui_doc_template(int resource, std::string doc_string, const ui_menu_resource* menu,
                  document_factory make_document, view_factory make_view,
                  frame_factory make_frame = nullptr);
  ~ui_doc_template();

  int resource() const { return resource_; }
  const ui_menu_resource* menu() const { return menu_; }
  std::string doc_string(string_index index) const;

  // A new document (empty path) or the document of a file, with a frame and
  // its view, shown and active; null when it cannot be made or read (the
  // reason of a file that exists is shown after "Failed to open document.").
  ui_document* open_document_file(const std::string& path, bool report_missing = true);

  // Another frame with a view of this template on a document.
  ui_child_frame* create_new_frame(ui_document& document);
  // The frame's view gets its first update; the frame is shown and activated.
  void initial_update_frame(ui_child_frame* frame);

  const std::vector<ui_document*>& documents() const { return documents_; }
  // True when a document of this template has the file open, which is given.
  ui_document* document_with_path(const std::string& path) const;
  // True when the file's extension is this template's.
  bool matches_extension(const std::string& path) const;

  // The file dialog's filter of this template: "Name (*.ext)|*.ext|"; empty
  // when it has none.
  std::string filter() const;

 private:
  friend class ui_document;
  void remove_document(ui_document* document);
  void set_default_title(ui_document& document);

  int resource_;
  std::vector<std::string> strings_;
  const ui_menu_resource* menu_;
  document_factory make_document_;
  view_factory make_view_;
  frame_factory make_frame_;
  std::vector<ui_document*> documents_;
  int untitled_count_ = 0;
};

// The same file whatever the spelling: the real path when the file exists.
std::string ui_same_file_key(const std::string& path);
