#include "platform/sockets.h"

namespace {
unsigned start_count = 0;
}

void sockets_start() {
  ++start_count;
}

unsigned sockets_start_count() {
  return start_count;
}

void sockets_reset() {
  start_count = 0;
}
