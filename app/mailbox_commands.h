#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

class CAletter;
class CListView;
class CVelmarApp;
class CVelmarDoc;
class ui_menu;
class ui_view;

// The questions and messages of carrying letters to another mailbox: the
// list asks in Chinese, the viewer in English.
struct carry_texts {
  const char* create_trash;   // the Trash mailbox cannot be opened: create it?
  const char* trash_failed;   // ... and the answer was No
  const char* no_mailbox;     // no mailbox chosen
  const char* confirm;        // + name + " ?"
  const char* create_before;  // + name + create_after: create the mailbox?
  const char* create_after;
  const char* move_failed;  // ... and the answer was No
};

// The mailbox commands: opening In, Out, Trash and the user mailboxes
// (offering to create a missing one), making and deleting user mailboxes,
// and carrying the selected letters of a list to Trash or another mailbox.
class mailbox_commands {
 public:
  explicit mailbox_commands(CVelmarApp& app) : app_(app) {}

  // Opens In (offering to create it); its document, or null.
  CVelmarDoc* open_in();
  void open_out();
  void open_trash();
  void open_user(int index);
  void new_mailbox();
  void delete_mailbox();

  void trash_letters(CListView& list);
  void move_letters(CListView& list);
  // The viewer's Trash and Move: the current letter of a mailbox goes; every
  // view of it but sender is updated. True when the letter went.
  bool trash_current(CVelmarDoc& source, ui_view* sender);
  bool move_current(CVelmarDoc& source, ui_view* sender);

  // Appends a sent letter's copy to Out, asking to create Out when it cannot
  // be opened; false when the copy is not kept.
  bool keep_in_out(std::unique_ptr<CAletter> letter);

  // The file of a user mailbox: the work directory, the name and ".box".
  std::string user_mailbox_path(const std::string& name) const;

  // Adds the user mailboxes to a menu as it is built: a separator, then one
  // item per mailbox.
  void add_user_mailboxes(ui_menu& menu);

 private:
  // Opens a standard mailbox from its path setting, offering to create it;
  // returns its document, or null.
  CVelmarDoc* open_standard(std::string& path, const std::string& title,
                            const std::string& mailbox_name, bool reread_in);
  // A new empty mailbox shown and closed again, which asks the user to save
  // it (proposed in the folder given); the file it was saved to, if any.
  std::optional<std::string> create_missing(const std::string& title,
                                            const std::string& mailbox_name,
                                            const std::string& folder);
  // The mailbox letters go to: Trash, or one the user chooses; null, after
  // the message, when there is none.
  CVelmarDoc* trash_target(const carry_texts& texts);
  CVelmarDoc* move_target(const carry_texts& texts);
  // Moves the selected letters of a list, in order, to the end of another
  // mailbox and updates both.
  void carry(CListView& list, const std::vector<int>& lines, CVelmarDoc& target);
  // Moves the current letter of a mailbox to the end of another.
  void carry_current(CVelmarDoc& source, CVelmarDoc& target, ui_view* sender);
  // The same to the target the viewer's questions find; true when it went.
  bool carry_current_to(CVelmarDoc& source, ui_view* sender,
                        CVelmarDoc* (mailbox_commands::*target_of)(const carry_texts&));
  // The folder the Save As dialog starts in for a standard mailbox.
  std::string folder_for(const std::string& path) const;

  CVelmarApp& app_;
};

// The refusals of a new mailbox name; empty when the name is good.
std::string mailbox_name_problem(const std::string& name, const std::vector<std::string>& names);
