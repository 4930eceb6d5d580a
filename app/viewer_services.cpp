#include "app/viewer_services.h"

#include "app/mailbox_commands.h"
#include "app/velmar_app.h"
#include "app/velmar_doc.h"
#include "media/item_commands.h"
#include "media/object_servers.h"

CVelmarDocData* viewer_services::mailbox(ui_document& document) {
  auto* mailbox = dynamic_cast<CVelmarDoc*>(&document);
  return mailbox ? &mailbox->data() : nullptr;
}

long viewer_services::chinese_platform() const {
  return app_.settings().hzos;
}

bool viewer_services::open_part_window(part_window window, ui_document& document, const CBody& part,
                                       const std::string& caption) {
  auto* mailbox = dynamic_cast<CVelmarDoc*>(&document);
  if (!mailbox) return false;
  ui_doc_template* shown_in = nullptr;
  switch (window) {
    case part_window::gb:
      shown_in = app_.part_template(chinese_view::gb);
      break;
    case part_window::big5:
      shown_in = app_.part_template(chinese_view::big5);
      break;
    case part_window::cns:
      shown_in = app_.part_template(chinese_view::cns);
      break;
    case part_window::raw:
      shown_in = app_.raw_template();
      break;
  }
  return app_.open_part_window(shown_in, *mailbox, part, caption) != nullptr;
}

bool viewer_services::trash_current_letter(ui_document& document, ui_view* sender) {
  auto* mailbox = dynamic_cast<CVelmarDoc*>(&document);
  return mailbox && app_.mailboxes().trash_current(*mailbox, sender);
}

bool viewer_services::move_current_letter(ui_document& document, ui_view* sender) {
  auto* mailbox = dynamic_cast<CVelmarDoc*>(&document);
  return mailbox && app_.mailboxes().move_current(*mailbox, sender);
}

object_opening viewer_services::open_object_part(ui_document& document, const CBody& part) {
  auto* mailbox = dynamic_cast<CVelmarDoc*>(&document);
  if (!mailbox) return object_opening::not_loaded;
  switch (open_part_object(app_.items_of(*mailbox), part)) {
    case part_object::opened:
      return object_opening::opened;
    case part_object::not_opened:
      return object_opening::not_opened;
    case part_object::not_loaded:
      break;
  }
  return object_opening::not_loaded;
}

CVelmarCntrItem* viewer_services::insert_object(ui_document& document) {
  auto* mailbox = dynamic_cast<CVelmarDoc*>(&document);
  return mailbox ? insert_new_object(app_.items_of(*mailbox)) : nullptr;
}

void viewer_services::close_in_place(CVelmarCntrItem& item) {
  app_.servers().close_shown(item);
}
