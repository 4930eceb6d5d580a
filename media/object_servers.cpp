#include "media/object_servers.h"

#include "media/picture_window.h"
#include "media/sound_window.h"
#include "model/cntr_item.h"

bool object_servers::DoVerb(CVelmarCntrItem& item, int verb) {
  if (verb != kVerbShow && verb != kVerbOpen) return false;
  object_window* window = window_of(item);
  if (!window) {
    switch (kind_of_type_name(item.GetTypeName())) {
      case kKindPicture:
        window = new CPictureWindow(item);
        break;
      case kKindSound:
        window = new CSoundWindow(item);
        break;
      default:
        return false;
    }
    windows_[&item] = window;
  }
  if (verb == kVerbShow) {
    shown_.insert(&item);
  } else {
    shown_.erase(&item);
  }
  window->show();
  window->raise();
  window->activateWindow();
  return true;
}

object_window* object_servers::window_of(const CVelmarCntrItem& item) const {
  auto found = windows_.find(&item);
  return found == windows_.end() ? nullptr : found->second.data();
}

void object_servers::close_shown(CVelmarCntrItem& item) {
  if (!shown_.erase(&item)) return;
  if (object_window* window = window_of(item)) window->close();
}

void object_servers::forget(CVelmarCntrItem& item) {
  shown_.erase(&item);
  auto found = windows_.find(&item);
  if (found == windows_.end()) return;
  // The item is going: the window must not give anything back to it.
  delete found->second.data();
  windows_.erase(found);
}
