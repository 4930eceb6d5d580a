#pragma once

#include <QPointer>
#include <map>
#include <set>

#include "media/object_window.h"

class CVelmarCntrItem;

// The verbs that open an object: show it (as the program does for a new
// object) and open it in a window of its own.
enum : int { kVerbShow = -1, kVerbOpen = -2 };

// Kestrel's own programs for embedded objects: a picture window for
// pictures, a sound window for sounds; one window an item.
class object_servers {
 public:
  // Opens the item's object in its program's window, or brings the window
  // already open forward; false when no program serves the object.
  bool DoVerb(CVelmarCntrItem& item, int verb);
  // The item's window, null when it has none.
  object_window* window_of(const CVelmarCntrItem& item) const;
  // Closes the window of an item shown with kVerbShow (Escape in the view
  // that made it), giving the object back.
  void close_shown(CVelmarCntrItem& item);
  // Closes the item's window without giving anything back (the item goes).
  void forget(CVelmarCntrItem& item);

 private:
  std::map<const CVelmarCntrItem*, QPointer<object_window>> windows_;
  std::set<const CVelmarCntrItem*> shown_;
};
