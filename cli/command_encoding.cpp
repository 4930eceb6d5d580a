#include <cstdio>

#include "cli/commands.h"
#include "cli/streams.h"
#include "message/base64.h"
#include "message/quoted_printable.h"

namespace {

bool known_encoding(cli_arguments arguments) {
  return arguments.size() == 1 && (arguments[0] == "base64" || arguments[0] == "qp");
}

}  // namespace

int run_encode(const cli_command& command, cli_arguments arguments) {
  if (!known_encoding(arguments)) return cli_usage(command);
  std::optional<std::string> input = input_read("");
  if (!input) return EXIT_FAILED;
  const std::string text = arguments[0] == "base64" ? rfc822_binary(*input) : qprint_encode(*input);
  return output_write(text) ? EXIT_DONE : EXIT_FAILED;
}

int run_decode(const cli_command& command, cli_arguments arguments) {
  if (!known_encoding(arguments)) return cli_usage(command);
  std::optional<std::string> input = input_read("");
  if (!input) return EXIT_FAILED;
  const std::optional<std::string> bytes =
      arguments[0] == "base64" ? base64_decode(*input) : qprint_decode(*input);
  if (!bytes) {
    std::fprintf(stderr, "malformed input\n");
    return EXIT_FAILED;
  }
  return output_write(*bytes) ? EXIT_DONE : EXIT_FAILED;
}
