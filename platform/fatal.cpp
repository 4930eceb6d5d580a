#include "platform/fatal.h"

#include <cstdio>
#include <cstdlib>
#include <new>

namespace {

void print_to_stderr(const char* text) {
  std::fprintf(stderr, "%s\n", text);
}

fatal_handler current_handler = print_to_stderr;

// Standard containers allocate through operator new: instead of throwing
// bad_alloc out of the library, running out of memory ends here as well.
void out_of_free_storage() {
  fatal_stop("Out of free storage");
}

const bool new_handler_installed = (std::set_new_handler(out_of_free_storage), true);

}  // namespace

fatal_handler fatal_set_handler(fatal_handler handler) {
  (void)new_handler_installed;
  fatal_handler old = current_handler;
  current_handler = handler ? handler : print_to_stderr;
  return old;
}

void fatal_stop(const char* text) {
  current_handler(text);
  std::abort();
}
