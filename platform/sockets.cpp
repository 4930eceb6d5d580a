#include "platform/sockets.h"

namespace {
unsigned start_count = 0;
}

bool sockets_start() {
  ++start_count;
  return true;
}

unsigned sockets_start_count() {
  return start_count;
}

void sockets_reset() {
  start_count = 0;
}
