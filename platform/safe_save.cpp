#include "platform/safe_save.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

std::string system_error(const char* what) {
  return std::string(what) + ": " + std::strerror(errno);
}

// The file a path stands for: the end of a chain of links, or the path itself.
std::string link_target(const std::string& path) {
  struct stat status {};
  if (lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) return path;
  char* resolved = realpath(path.c_str(), nullptr);
  if (!resolved) return path;
  std::string target = resolved;
  std::free(resolved);
  return target;
}

std::string directory_of(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

mode_t new_file_mode(const std::string& path) {
  struct stat status {};
  if (stat(path.c_str(), &status) == 0) return status.st_mode & 07777;
  const mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

// Makes the rename itself durable; file systems that cannot sync a
// directory are not an error.
void sync_directory(const std::string& directory) {
  const int descriptor = open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (descriptor < 0) return;
  fsync(descriptor);
  close(descriptor);
}

// New files of earlier saves of the same file that never ended (the program
// was killed while writing): a file ".NAME.XXXXXX" that no save holds locked.
void remove_leftovers(const std::string& directory, const std::string& base) {
  const std::string prefix = "." + base + ".";
  DIR* folder = opendir(directory.c_str());
  if (!folder) return;
  while (const dirent* entry = readdir(folder)) {
    const std::string name = entry->d_name;
    if (name.size() != prefix.size() + 6 || name.compare(0, prefix.size(), prefix) != 0) continue;
    const std::string path = directory + "/" + name;
    const int descriptor = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (descriptor < 0) continue;
    struct stat status {};
    if (fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode) &&
        flock(descriptor, LOCK_EX | LOCK_NB) == 0) {
      unlink(path.c_str());
    }
    close(descriptor);
  }
  closedir(folder);
}

}  // namespace

bool safe_save(const std::string& path, const file_writer& write, std::string& reason) {
  const std::string target = link_target(path);
  const std::string directory = directory_of(target);
  const std::size_t slash = target.rfind('/');
  const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
  std::string temporary = (directory == "/" ? "" : directory) + "/." + base + ".XXXXXX";
  std::vector<char> name(temporary.begin(), temporary.end());
  name.push_back('\0');
  const int descriptor = mkostemp(name.data(), O_CLOEXEC);
  if (descriptor < 0) {
    reason = system_error("cannot create a new file beside it");
    return false;
  }
  temporary = name.data();
  // Held while writing, so another save knows the file is not left over.
  flock(descriptor, LOCK_EX);
  remove_leftovers(directory, base);
  std::FILE* file = fdopen(descriptor, "wb");
  if (!file) {
    reason = system_error("cannot write the new file");
    close(descriptor);
    unlink(temporary.c_str());
    return false;
  }
  bool good = fchmod(descriptor, new_file_mode(target)) == 0;
  if (!good) reason = system_error("cannot set the new file's permissions");
  good = good && write(file, reason);
  if (good && (std::fflush(file) != 0 || std::ferror(file))) {
    good = false;
    reason = system_error("cannot write the new file");
  }
  if (good && fsync(descriptor) != 0) {
    good = false;
    reason = system_error("cannot flush the new file to the disk");
  }
  if (std::fclose(file) != 0 && good) {
    good = false;
    reason = system_error("cannot close the new file");
  }
  if (good && rename(temporary.c_str(), target.c_str()) != 0) {
    good = false;
    reason = system_error("cannot put the new file in place of the old one");
  }
  if (!good) {
    unlink(temporary.c_str());
    return false;
  }
  sync_directory(directory);
  return true;
}
