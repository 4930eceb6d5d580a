#pragma once

#include "letter/viewer_host.h"

class CVelmarApp;

// What the program gives its letter windows: its mailbox documents, its
// settings, its part windows and its mailbox commands.
class viewer_services : public viewer_host {
 public:
  explicit viewer_services(CVelmarApp& app) : app_(app) {}

  CVelmarDocData* mailbox(ui_document& document) override;
  long chinese_platform() const override;
  bool open_part_window(part_window window, ui_document& document, const CBody& part,
                        const std::string& caption) override;
  bool trash_current_letter(ui_document& document, ui_view* sender) override;
  bool move_current_letter(ui_document& document, ui_view* sender) override;
  object_opening open_object_part(ui_document& document, const CBody& part) override;
  CVelmarCntrItem* insert_object(ui_document& document) override;
  void close_in_place(CVelmarCntrItem& item) override;
  compose_settings sending_settings() const override;
  long operating_environment() const override;
  CEditorView* open_composer(ui_document& document) override;
  bool keep_in_out(std::unique_ptr<CAletter> letter) override;
  send_result send_letter(outgoing_letter& letter) override;
  std::unique_ptr<composer_item> insert_item(ui_document& document) override;

 private:
  CVelmarApp& app_;
};
