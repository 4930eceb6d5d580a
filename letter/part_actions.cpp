#include "letter/part_actions.h"

#include "chinese/charset_labels.h"
#include "model/huge.h"
#include "model/letter_format.h"
#include "model/letter_text.h"
#include "ui/ui_asker.h"
#include "ui/ui_ids.h"
#include "ui/ui_save_file.h"

namespace {

constexpr const char* kSaveFilter = "所有文件 (*.*)|*.*||";
constexpr const char* kCannotCreate = "文件创建失败!";
constexpr const char* kNoBytes = "内存不够，指针分配失败。";
constexpr const char* kNoObject = "不能启动 OLE.";
constexpr std::uint16_t kText = 0;

void open_window(viewer_host& host, part_window window, ui_document& document, const CBody& part,
                 std::string_view caption) {
  if (!host.open_part_window(window, document, part, std::string(caption)))
    ui_message_box(kCommandFailed, MB_OK | MB_ICONEXCLAMATION);
}

void offer_to_save(viewer_host& host, ui_document& document, const CBody& part) {
  if (ui_message_box(std::string(kSaveQuestion), MB_YESNO | MB_ICONQUESTION) == IDYES) {
    save_part(part, host.chinese_platform());
  } else {
    open_window(host, part_window::raw, document, part, kRawViewTitle);
  }
}

}  // namespace

void open_part(viewer_host& host, ui_document& document, const CBody& part) {
  if (part.type != kText) {
    if (host.open_object_part(document, part) == object_opening::opened) return;
    // A part that is no object can still be saved or seen raw.
    ui_message_box(kNoObject, MB_OK | MB_ICONEXCLAMATION);
    offer_to_save(host, document, part);
    return;
  }
  if (!plain_text(part)) {
    offer_to_save(host, document, part);
    return;
  }
  text_part_window window = text_part_open_rule(body_charset(part), host.chinese_platform());
  std::string_view caption = text_part_window_title(window);
  switch (window) {
    case text_part_window::cns_view:
      open_window(host, part_window::cns, document, part, caption);
      break;
    case text_part_window::gb_view:
      open_window(host, part_window::gb, document, part, caption);
      break;
    case text_part_window::big5_view:
      open_window(host, part_window::big5, document, part, caption);
      break;
    case text_part_window::ask_to_save:
      offer_to_save(host, document, part);
      break;
  }
}

void save_part(const CBody& part, long platform) {
  const CHuge* huge = part.huge();
  std::string_view bytes = part.type == kText ? std::string_view(part.text)
                           : huge             ? huge->bytes()
                                              : std::string_view();
  bool missing = part.type != kText && !huge;
  // A part without its bytes still gets its file, empty, and says why.
  if (ui_save_file(part_file_name(part, platform), kSaveFilter, bytes, kCannotCreate) && missing)
    ui_message_box(kNoBytes, MB_OK | MB_ICONEXCLAMATION);
}
