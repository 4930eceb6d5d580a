#pragma once

#include <string>
#include <vector>

// Runs a program to its end, feeding it standard input, and collects what it
// wrote and how it ended.
struct program_result {
  int exit_code;  // -1 when it died from a signal
  std::string out;
  std::string err;
};

program_result run_program(const std::string& path, const std::vector<std::string>& arguments,
                           const std::string& input = "");
