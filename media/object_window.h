#pragma once

#include <QWidget>
#include <string>

class CVelmarCntrItem;

// A window of Kestrel's own picture or sound program, showing one item's
// object. Update and closing the window give the object, when it changed,
// back to the item, which tells its document.
class object_window : public QWidget {
 public:
  explicit object_window(CVelmarCntrItem& item);
  ~object_window() override;

  CVelmarCntrItem& item() const { return item_; }
  // Gives the object as the window holds it back to the item.
  void update_item();
  bool changed() const { return changed_; }

 protected:
  // The object's file as the window holds it now.
  virtual std::string current_file() const = 0;
  void set_changed() { changed_ = true; }
  void closeEvent(QCloseEvent* event) override;

 private:
  CVelmarCntrItem& item_;
  bool changed_ = false;
};
