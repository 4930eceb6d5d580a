#pragma once

#include <stdlib.h>

#include <filesystem>
#include <string>

// A folder of a test's own, removed with everything in it afterwards.
class scratch_folder {
 public:
  scratch_folder() {
    char pattern[] = "/tmp/kestrel-test-XXXXXX";
    if (mkdtemp(pattern)) path_ = pattern;
  }
  ~scratch_folder() { std::filesystem::remove_all(path_); }
  scratch_folder(const scratch_folder&) = delete;
  scratch_folder& operator=(const scratch_folder&) = delete;

  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};
