#pragma once

#include <string>
#include <string_view>

// The program names files the DOS way (C:\MAIL\IN.BOX); this maps such a name
// to a path on this machine. Backslash and slash both separate; a drive letter
// stands for a directory; each component of an existing path is found whatever
// the case of its letters; components that do not exist keep the name given.
// Every file the mail library opens goes through this function.
std::string host_path(std::string_view name);

// The directory a drive letter stands for. Unless set here or in the
// environment variable KESTREL_DRIVE_<letter>, every drive is the user's home.
void host_set_drive(char letter, std::string directory);
std::string host_drive(char letter);
