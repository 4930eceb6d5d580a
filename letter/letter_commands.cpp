#include "letter/letter_commands.h"

#include "letter/editor_view.h"
#include "letter/letter_ids.h"
#include "model/letter_replies.h"
#include "model/velmar_doc_data.h"
#include "ui/ui_asker.h"
#include "ui/ui_child_frame.h"
#include "ui/ui_document.h"
#include "ui/ui_ids.h"

namespace {

using field = CEditorView::field;

bool ask(const char* question) {
  return ui_message_box(question, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

void set_caption(CEditorView& editor, const std::string& caption) {
  if (ui_child_frame* frame = editor.frame()) frame->set_caption(caption);
}

void reply(CEditorView& editor, CAletter& letter, ui_document& document, letter_labels labels,
           long platform) {
  const reply_words& words = reply_words_of(labels);
  mark_answered(letter);
  document.set_modified();
  document.update_all_views(nullptr);
  const std::string subject = reply_subject(letter, labels, platform);
  set_caption(editor, subject);
  editor.set_line(field::subject, subject);
  const std::string to = address_texts_utf8(letter.envelope.from.get(), platform);
  editor.set_line(field::to, to);
  if (has_addresses(letter.envelope.cc.get()) && ask(words.cc_question))
    editor.set_line(field::cc, address_texts_utf8(letter.envelope.cc.get(), platform));
  if (has_addresses(letter.envelope.bcc.get()) && ask(words.bcc_question))
    editor.set_line(field::bcc, address_texts_utf8(letter.envelope.bcc.get(), platform));
  if (labels == letter_labels::chinese) set_caption(editor, reply_caption(to, subject));
  if (!ask(words.quote_question)) return;
  editor.set_body(reply_body(letter, labels, platform));
}

}  // namespace

letter_command letter_command_of(int id) {
  switch (id) {
    case IDC_BUTTON_REPLY_ALL:
      return letter_command::reply;
    case IDC_BUTTON_FORWARD:
      return letter_command::forward;
    case IDC_BUTTON_REDIRECT:
      return letter_command::redirect;
    default:
      return letter_command::compose_new;
  }
}

void run_letter_command(letter_command command, viewer_host& host, ui_document& document,
                        letter_labels labels) {
  const reply_words& words = reply_words_of(labels);
  CVelmarDocData* mailbox = host.mailbox(document);
  CAletter* letter = mailbox ? mailbox->current_letter() : nullptr;
  if (command != letter_command::compose_new && !letter) {
    ui_message_box(words.no_letter, MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  CEditorView* editor = host.open_composer(document);
  if (!editor) {
    ui_message_box(kCommandFailed, MB_OK | MB_ICONEXCLAMATION);
    return;
  }
  const long platform = host.chinese_platform();
  editor->set_line(field::from, host.sending_settings().return_address);
  switch (command) {
    case letter_command::compose_new:
      set_caption(*editor, words.new_caption);
      break;
    case letter_command::reply:
      reply(*editor, *letter, document, labels, platform);
      break;
    case letter_command::forward: {
      const std::string subject = forward_subject(*letter, labels, platform);
      editor->set_line(field::subject, subject);
      if (*words.forward_caption) set_caption(*editor, words.forward_caption + subject);
      editor->set_body(forward_body(*letter, labels, platform));
      break;
    }
    case letter_command::redirect: {
      const std::string subject = letter_subject_utf8(*letter, platform);
      editor->set_line(field::subject, subject);
      if (*words.redirect_caption) set_caption(*editor, words.redirect_caption + subject);
      editor->set_body(redirect_body(*letter, labels, platform));
      break;
    }
  }
}
