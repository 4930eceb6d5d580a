#include "ui/ui_save_file.h"

#include <fstream>

#include "platform/file_names.h"
#include "ui/ui_asker.h"
#include "ui/ui_ids.h"

bool ui_save_file(const std::string& proposed, const std::string& filter, std::string_view bytes,
                  const std::string& failure) {
  ui_file_request request;
  request.open = false;
  request.title = kSaveAsTitle;
  request.file_name = proposed;
  request.filter = filter;
  request.overwrite_prompt = true;
  std::optional<std::string> path = ui_ask().file_dialog(request);
  if (!path) return false;
  std::ofstream file(host_path(*path), std::ios::binary | std::ios::trunc);
  if (file) file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  file.close();
  if (!file) ui_message_box(failure, MB_OK | MB_ICONEXCLAMATION);
  return static_cast<bool>(file);
}
