// Parses letters with envelope_parse (header and body structure), as many
// times as asked, and prints the seconds the parsing took and the bytes parsed.
//   kestrel_parse_bench ROUNDS FILE...

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "message/envelope_parse.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: kestrel_parse_bench ROUNDS FILE...\n");
    return 2;
  }
  const int rounds = std::atoi(argv[1]);
  std::vector<std::string> letters;
  for (int i = 2; i < argc; ++i) {
    std::ifstream in(argv[i], std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    letters.push_back(bytes.str());
  }
  std::size_t parsed = 0;
  std::size_t parts = 0;
  const auto start = std::chrono::steady_clock::now();
  for (int round = 0; round < rounds; ++round) {
    for (const std::string& letter : letters) {
      text_source source;
      text_source_from_memory(source, letter);
      const parsed_letter result = letter_parse(source, "bench.host");
      parts += result.body->contents.part ? 1 : 0;
      parsed += letter.size();
    }
  }
  const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
  std::printf("%.6f %zu %zu\n", seconds.count(), parsed, parts);
  return 0;
}
