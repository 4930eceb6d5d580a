#include "app/viewer_services.h"

#include "app/composer_object.h"
#include "app/mailbox_commands.h"
#include "app/server_session.h"
#include "app/velmar_app.h"
#include "app/velmar_doc.h"
#include "letter/editor_view.h"
#include "media/item_commands.h"
#include "media/object_servers.h"
#include "ui/ui_child_frame.h"
#include "ui/ui_doc_template.h"

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

compose_settings viewer_services::sending_settings() const {
  const velmar_settings& settings = app_.settings();
  return {settings.real_name,   settings.return_address, settings.imap_account,
          settings.smtp_server, settings.compose_cc,     settings.net_link};
}

long viewer_services::operating_environment() const {
  return app_.settings().oper_system;
}

CEditorView* viewer_services::open_composer(ui_document& document) {
  ui_doc_template* editors = app_.editor_template();
  ui_child_frame* made = editors ? editors->create_new_frame(document) : nullptr;
  if (!made) return nullptr;
  editors->initial_update_frame(made);
  return dynamic_cast<CEditorView*>(made->view());
}

bool viewer_services::keep_in_out(std::unique_ptr<CAletter> letter) {
  return app_.mailboxes().keep_in_out(std::move(letter));
}

send_result viewer_services::send_letter(outgoing_letter& letter) {
  const compose_settings settings = sending_settings();
  server_session session(app_, {settings.smtp_server, {}, true});
  send_result result = outgoing_letter_send(letter, compose_hosts(settings));
  result.reports = session.reports();
  return result;
}

std::unique_ptr<composer_item> viewer_services::insert_item(ui_document& document) {
  auto* mailbox = dynamic_cast<CVelmarDoc*>(&document);
  if (!mailbox) return nullptr;
  const item_container items = app_.items_of(*mailbox);
  CVelmarCntrItem* item = insert_new_object(items);
  return item ? std::make_unique<composer_object>(items, *item) : nullptr;
}
