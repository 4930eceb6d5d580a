#include "platform/random.h"

#include <cstdlib>
#include <ctime>

long random_number() {
  static const bool seeded = (std::srand(static_cast<unsigned>(std::time(nullptr))), true);
  (void)seeded;
  return std::rand();
}
