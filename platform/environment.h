#pragma once

#include <optional>
#include <string>

// The environment values of the mail library: home directory, local host name
// and news list path, each computed or set once and then kept.

// Parameter codes answered by env_parameters (asked through mail_parameters).
enum : long {
  GET_HOME_DIR = 203,
  SET_HOME_DIR = 204,
  GET_LOCAL_HOST = 205,
  SET_LOCAL_HOST = 206,
  GET_NEWSRC = 600,
  SET_NEWSRC = 601,
};

// The value of "HOME" (empty when unset) less one trailing backslash or slash.
const std::string& home_directory();

// Answers the codes above: a GET returns the stored text (null while unset,
// except the news list path, which defaults to "<home>\NEWSRC"); a SET stores a
// copy of the text given and returns it. Every other code gives null.
void* env_parameters(long code, void* value);

// The stored local host name, shared with local_host_name.
std::optional<std::string>& env_local_host();
