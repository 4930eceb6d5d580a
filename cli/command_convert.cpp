#include <cstdio>
#include <string>

#include "chinese/converters.h"
#include "cli/chinese_options.h"
#include "cli/commands.h"

namespace {

using converter = std::size_t (*)(std::string_view, std::string&);

constexpr std::size_t kBlock = 1 << 20;

// The encoders start every line afresh (designations are repeated on each
// line and the text is back in ASCII at its end), so they convert whole lines
// as they come and the memory used is that of the longest line.
bool convert_by_lines(converter convert, std::size_t& damaged) {
  std::string pending, output;
  std::size_t scanned = 0;  // of pending, known to hold no line feed
  bool at_end = false;
  while (!at_end) {
    std::size_t size = pending.size();
    pending.resize(size + kBlock);
    std::size_t n = std::fread(pending.data() + size, 1, kBlock, stdin);
    pending.resize(size + n);
    at_end = n == 0;
    if (at_end && std::ferror(stdin)) return false;
    // Only the bytes read now can hold a line feed not seen before.
    std::size_t last = std::string_view(pending).substr(scanned).rfind('\n');
    std::size_t take = at_end ? pending.size() : last == std::string::npos ? 0 : scanned + last + 1;
    scanned = pending.size();
    if (take == 0) continue;
    output.clear();
    damaged += convert(std::string_view(pending).substr(0, take), output);
    if (!cli_write_all("", output)) return false;
    pending.erase(0, take);
    scanned = pending.size();
  }
  return true;
}

}  // namespace

int run_convert(const cli_command& command, cli_arguments arguments) {
  if (arguments.size() != 1) return cli_usage(command);
  converter convert = nullptr;
  if (arguments[0] == "gb-to-iso2022cn") convert = gb_to_iso2022cn;
  if (arguments[0] == "iso2022cn-to-gb") convert = iso2022cn_to_gb;
  if (arguments[0] == "big5-to-iso2022cn") convert = big5_to_iso2022cn;
  if (!convert) return cli_usage(command);
  std::size_t damaged = 0;
  bool ok = true;
  if (convert == iso2022cn_to_gb) {
    // Designations and the shift state carry across lines: the text is one.
    std::optional<std::string> input = cli_read_all("");
    std::string output;
    if (input) damaged = convert(*input, output);
    ok = input && cli_write_all("", output);
  } else {
    ok = convert_by_lines(convert, damaged);
  }
  if (!ok) {
    std::fprintf(stderr, "kestrel-mail: cannot read standard input or write standard output\n");
    return EXIT_FAILED;
  }
  if (damaged) {
    std::fprintf(stderr, "kestrel-mail: %zu %s could not be converted and %s replaced\n", damaged,
                 damaged == 1 ? "character" : "characters", damaged == 1 ? "was" : "were");
    return EXIT_FAILED;
  }
  return EXIT_DONE;
}
