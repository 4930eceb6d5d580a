#pragma once

#include <string>
#include <string_view>

// Save As for bytes of the program's own (a letter's text, a part): asks for
// a file with the proposed name and the filter (the overwrite question on),
// then writes the bytes into it, replacing what it held. A file that cannot
// be created or written brings the failure message. True when the bytes are
// in the file; false when the user cancelled or writing failed.
bool ui_save_file(const std::string& proposed, const std::string& filter, std::string_view bytes,
                  const std::string& failure);
