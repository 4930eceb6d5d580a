#include <cstdio>

#include "cli/commands.h"
#include "cli/streams.h"
#include "message/base64.h"
#include "message/rfc822_binary.h"
#include "message/quoted_printable.h"

namespace {

bool known_encoding(cli_arguments arguments) {
  return arguments.size() == 1 && (arguments[0] == "base64" || arguments[0] == "qp");
}

int malformed() {
  std::fprintf(stderr, "malformed input\n");
  return EXIT_FAILED;
}

// Decodes block by block, so that a long text is never held whole; what was
// decoded before a malformed place stays written.
int base64_decode_stream() {
  base64_decoder decoder;
  std::string bytes;
  bool bad = false;
  const bool done =
      input_read_blocks([&](std::string_view block, bool) -> std::optional<std::size_t> {
        bytes.clear();
        bad = !decoder.feed(block, bytes);
        if (bad || !output_write(bytes)) return std::nullopt;
        return block.size();
      });
  if (bad || (done && !decoder.finish())) return malformed();
  return done ? EXIT_DONE : EXIT_FAILED;
}

// Quoted-printable decodes line by line, so whole lines can be decoded apart:
// each block is decoded up to its last line feed and the rest waits.
int qprint_decode_stream() {
  bool bad = false;
  const bool done =
      input_read_blocks([&](std::string_view block, bool last) -> std::optional<std::size_t> {
        const std::size_t line_end = last ? block.size() : block.rfind('\n') + 1;  // 0 without any
        const std::optional<std::string> bytes = qprint_decode(block.substr(0, line_end));
        bad = !bytes;
        if (bad || !output_write(*bytes)) return std::nullopt;
        return line_end;
      });
  if (bad) return malformed();
  return done ? EXIT_DONE : EXIT_FAILED;
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
  return arguments[0] == "base64" ? base64_decode_stream() : qprint_decode_stream();
}
