#include "cli/chinese_options.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <memory>

#include "chinese/font_names.h"

namespace {

struct file_closer {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

std::optional<std::string> cli_take_option(std::vector<std::string>& arguments,
                                           std::string_view name, bool& ok) {
  auto found = std::find(arguments.begin(), arguments.end(), name);
  if (found == arguments.end()) return std::nullopt;
  if (found + 1 == arguments.end()) {
    ok = false;
    return std::nullopt;
  }
  std::string value = *(found + 1);
  arguments.erase(found, found + 2);
  return value;
}

std::string cli_font_directory(std::vector<std::string>& arguments) {
  bool ok = true;
  if (std::optional<std::string> given = cli_take_option(arguments, "--fonts", ok)) return *given;
  return installed_font_directory();
}

std::optional<std::string> cli_read_all(const std::string& name) {
  std::unique_ptr<std::FILE, file_closer> opened;
  std::FILE* file = stdin;
  if (!name.empty()) {
    opened.reset(std::fopen(name.c_str(), "rb"));
    if (!opened) return std::nullopt;
    file = opened.get();
  }
  std::string text;
  std::size_t size = 0;
  for (;;) {
    text.resize(size + (1 << 20));
    std::size_t n = std::fread(text.data() + size, 1, text.size() - size, file);
    size += n;
    if (n == 0) break;
  }
  text.resize(size);
  if (std::ferror(file)) return std::nullopt;
  return text;
}

bool cli_write_all(const std::string& name, std::initializer_list<std::string_view> parts) {
  std::unique_ptr<std::FILE, file_closer> opened;
  std::FILE* file = stdout;
  if (!name.empty()) {
    opened.reset(std::fopen(name.c_str(), "wb"));
    if (!opened) return false;
    file = opened.get();
  }
  bool ok = true;
  for (std::string_view bytes : parts)
    ok = ok && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  ok = std::fflush(file) == 0 && ok;
  if (opened) ok = std::fclose(opened.release()) == 0 && ok;
  return ok;
}
