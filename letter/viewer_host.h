#pragma once

#include <memory>
#include <string>

#include "model/outgoing_letter.h"

class CAletter;
class CBody;
class CEditorView;
class composer_item;
class CVelmarCntrItem;
class CVelmarDocData;
class ui_document;
class ui_view;

// The windows a part of a letter opens in.
enum class part_window { gb, big5, cns, raw };

// What became of a part opened as an embedded object: opened in its
// program's window, not made into an object, or made but not opened.
enum class object_opening { opened, not_loaded, not_opened };

// What the letter windows need of the program around them: the letters of a
// mailbox document, the settings, the part windows and the mailbox commands.
// The desktop program gives it.
class viewer_host {
 public:
  // The letters of a mailbox document; null for another kind of document.
  virtual CVelmarDocData* mailbox(ui_document& document) = 0;
  // The Chinese platform setting: 1 GB, 2 Big5, 3 both, 0 neither.
  virtual long chinese_platform() const = 0;
  // Opens a window on the part, a new frame on the document, with its
  // caption; false when it cannot be made.
  virtual bool open_part_window(part_window window, ui_document& document, const CBody& part,
                                const std::string& caption) = 0;
  // Takes the document's current letter to the Trash mailbox, or to a
  // mailbox the user chooses, with the viewer's questions; every view but
  // sender is updated. True when the letter went.
  virtual bool trash_current_letter(ui_document& document, ui_view* sender) = 0;
  virtual bool move_current_letter(ui_document& document, ui_view* sender) = 0;
  // Makes a new embedded item on the document from the part's bytes and
  // opens it in its program's window.
  virtual object_opening open_object_part(ui_document& document, const CBody& part) = 0;
  // Insert New Object on the document: the new item, or null.
  virtual CVelmarCntrItem* insert_object(ui_document& document) = 0;
  // Escape: closes the window of an item the view showed when it was made.
  virtual void close_in_place(CVelmarCntrItem& item) = 0;

  // What sending reads of the settings, and the operating environment the
  // composer's items are stored for.
  virtual compose_settings sending_settings() const = 0;
  virtual long operating_environment() const = 0;
  // A composer in a new frame on the document, shown; null when it cannot
  // be made.
  virtual CEditorView* open_composer(ui_document& document) = 0;
  // Appends a sent letter's copy to the Out mailbox, offering to create a
  // missing one; false when no copy is kept.
  virtual bool keep_in_out(std::unique_ptr<CAletter> letter) = 0;
  // Sends a letter to the SMTP server of the settings, then "localhost",
  // logging in as the account where the server asks.
  virtual send_result send_letter(outgoing_letter& letter) = 0;
  // A picture or sound the user inserts into a letter; null when none is.
  virtual std::unique_ptr<composer_item> insert_item(ui_document& document) = 0;

 protected:
  ~viewer_host() = default;
};

// The window that opened a viewer, told when the viewer goes so that it may
// open one again.
class viewer_opener {
 public:
  virtual void viewer_closed() = 0;

 protected:
  ~viewer_opener() = default;
};
