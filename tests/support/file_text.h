#pragma once

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

// The whole contents of a file (empty when it cannot be read).
inline std::string file_text(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream contents;
  contents << in.rdbuf();
  return contents.str();
}
