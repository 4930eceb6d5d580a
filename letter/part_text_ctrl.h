#pragma once

#include <QPlainTextEdit>
#include <functional>
#include <vector>

#include "model/letter_display.h"
#include "model/letter_format.h"

// The viewer's read-only text of a letter, with the regions of its
// placeholder lines: double-clicking one opens its part.
class CPartTextCtrl : public QPlainTextEdit {
 public:
  explicit CPartTextCtrl(QWidget* parent = nullptr);

  // Shows a letter's text; its regions become the control's.
  void show_letter(const letter_text& text);

  void add_region(std::size_t start, std::size_t end, const CBody* body);
  // The first region, in order, with start <= offset <= end; null if none.
  const part_region* find_region(std::size_t offset) const;
  void clear_regions() { regions_.clear(); }
  const std::vector<part_region>& regions() const { return regions_; }

  // Where the screen's characters came from in the letter text.
  const screen_text& screen() const { return screen_; }

  // What opening a part does.
  std::function<void(const CBody& part)> open_part;

 protected:
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  std::vector<part_region> regions_;
  screen_text screen_;
};
