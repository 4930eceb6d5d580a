#include "platform/environment.h"

#include <cstdlib>

namespace {

struct stored_environment {
  std::optional<std::string> home;
  std::optional<std::string> local_host;
  std::optional<std::string> newsrc;
};

stored_environment& stored() {
  static stored_environment values;
  return values;
}

void* text_result(std::optional<std::string>& text) {
  return text ? text->data() : nullptr;
}

void* store(std::optional<std::string>& place, void* value) {
  if (value) {
    place = static_cast<const char*>(value);
  } else {
    place.reset();
  }
  return text_result(place);
}

}  // namespace

const std::string& home_directory() {
  std::optional<std::string>& home = stored().home;
  if (!home) {
    const char* value = std::getenv("HOME");
    home = value ? value : "";
    if (!home->empty() && (home->back() == '\\' || home->back() == '/')) home->pop_back();
  }
  return *home;
}

std::optional<std::string>& env_local_host() {
  return stored().local_host;
}

void* env_parameters(long code, void* value) {
  stored_environment& env = stored();
  switch (code) {
    case GET_HOME_DIR:
      return text_result(env.home);
    case SET_HOME_DIR:
      return store(env.home, value);
    case GET_LOCAL_HOST:
      return text_result(env.local_host);
    case SET_LOCAL_HOST:
      return store(env.local_host, value);
    case GET_NEWSRC:
      if (!env.newsrc) env.newsrc = home_directory() + "\\NEWSRC";
      return text_result(env.newsrc);
    case SET_NEWSRC:
      return store(env.newsrc, value);
    default:
      return nullptr;
  }
}
