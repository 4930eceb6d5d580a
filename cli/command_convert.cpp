#include <cstdio>

#include "chinese/converters.h"
#include "cli/chinese_options.h"
#include "cli/commands.h"

int run_convert(const cli_command& command, cli_arguments arguments) {
  if (arguments.size() != 1) return cli_usage(command);
  std::size_t (*convert)(std::string_view, std::string&) = nullptr;
  if (arguments[0] == "gb-to-iso2022cn") convert = gb_to_iso2022cn;
  if (arguments[0] == "iso2022cn-to-gb") convert = iso2022cn_to_gb;
  if (arguments[0] == "big5-to-iso2022cn") convert = big5_to_iso2022cn;
  if (!convert) return cli_usage(command);
  std::optional<std::string> input = cli_read_all("");
  if (!input) {
    std::fprintf(stderr, "kestrel-mail: cannot read standard input\n");
    return EXIT_FAILED;
  }
  std::string output;
  std::size_t damaged = convert(*input, output);
  if (!cli_write_all("", output)) {
    std::fprintf(stderr, "kestrel-mail: cannot write standard output\n");
    return EXIT_FAILED;
  }
  if (damaged) {
    std::fprintf(stderr, "kestrel-mail: %zu %s could not be converted and %s replaced\n", damaged,
                 damaged == 1 ? "character" : "characters", damaged == 1 ? "was" : "were");
    return EXIT_FAILED;
  }
  return EXIT_DONE;
}
