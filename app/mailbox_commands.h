#pragma once

#include <optional>
#include <string>
#include <vector>

class CListView;
class CVelmarApp;
class CVelmarDoc;
class ui_menu;

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
  // Moves the selected letters of a list, in order, to the end of another
  // mailbox and updates both.
  void carry(CListView& list, const std::vector<int>& lines, CVelmarDoc& target);
  // The folder the Save As dialog starts in for a standard mailbox.
  std::string folder_for(const std::string& path) const;

  CVelmarApp& app_;
};

// The refusals of a new mailbox name; empty when the name is good.
std::string mailbox_name_problem(const std::string& name, const std::vector<std::string>& names);
