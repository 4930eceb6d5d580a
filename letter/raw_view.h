#pragma once

#include <QWidget>
#include <string>

#include "ui/ui_view.h"

class CBody;
class QPlainTextEdit;

// The text of one part of a letter as it is, in a window of its own: opened
// from the viewer for a part the user chose not to save.
class CRawView : public QWidget, public ui_view {
 public:
  // The part shown (null when none was chosen), read in the code pages of
  // the Chinese platform setting. The view keeps what it shows, not the part.
  CRawView(const CBody* part, long platform);

  QWidget* widget() override { return this; }
  QSize sizeHint() const override { return {600, 400}; }
  QPlainTextEdit* edit() const { return edit_; }

  void on_initial_update() override;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  QPlainTextEdit* edit_;
  bool has_part_;
  QString shown_;
};

// A text part is shown up to this many characters.
inline constexpr std::size_t kRawTextLimit = 63000;
