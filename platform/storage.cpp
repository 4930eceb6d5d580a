#include "platform/storage.h"

#include <cstdlib>
#include <cstring>

#include "platform/fatal.h"

namespace {

char ascii_upper(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}
char ascii_lower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

void* storage_get(std::size_t size) {
  void* block = std::malloc(size ? size : 1);
  if (!block) fatal_stop("Out of free storage");
  return block;
}

void storage_resize(void*& block, std::size_t size) {
  void* grown = std::realloc(block, size ? size : 1);
  if (!grown) fatal_stop("Can't resize free storage");
  block = grown;
}

void storage_give(void*& block) {
  std::free(block);
  block = nullptr;
}

char* text_copy(const char* text) {
  if (!text) return nullptr;
  std::size_t size = std::strlen(text) + 1;
  return static_cast<char*>(std::memcpy(storage_get(size), text, size));
}

char* text_upper(char* text) {
  for (char* p = text; *p; ++p)
    *p = ascii_upper(*p);
  return text;
}

char* text_lower(char* text) {
  for (char* p = text; *p; ++p)
    *p = ascii_lower(*p);
  return text;
}

std::string& text_upper(std::string& text) {
  for (char& c : text)
    c = ascii_upper(c);
  return text;
}

std::string& text_lower(std::string& text) {
  for (char& c : text)
    c = ascii_lower(c);
  return text;
}
