#pragma once

#include <cstdio>
#include <functional>
#include <string>

// Replaces a file without ever leaving it half written: the new contents go
// into a new file beside it, which is flushed to the disk and only then
// renamed over the old one. On any failure the new file is removed, the old
// one is untouched, and the reason says what went wrong. A symbolic link is
// followed, so the file it names is the one replaced. The new file keeps the
// old one's permissions (a new file gets the usual ones for the user). New
// files that earlier saves of the same file left behind when the program was
// killed are removed.
using file_writer = std::function<bool(std::FILE* file, std::string& reason)>;
bool safe_save(const std::string& path, const file_writer& write, std::string& reason);
