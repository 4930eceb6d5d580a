#pragma once

#include <string>
#include <vector>

// The letters of two published corpora: Python's email test data
// (msg_*.txt) and enmime's (*.raw), in a fixed order.
struct corpus_letter {
  std::string name;  // the file name
  std::string bytes;
};
std::vector<corpus_letter> corpus_letters();
