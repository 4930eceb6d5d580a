#include "cli/commands.h"

#include <cstdio>

namespace {

constexpr cli_command kCommands[] = {
    {"date", "TEXT", "parse an internal date and print it in its two printed forms", run_date},
    {"remote", "NAME", "parse a remote mailbox specification and print it as JSON", run_remote},
    {"convert", "gb-to-iso2022cn|iso2022cn-to-gb|big5-to-iso2022cn",
     "convert Chinese text from standard input to standard output", run_convert},
    {"glyph", "hzk16|kcm14|cns1|cns2 CODE [--fonts DIR]",
     "print the 16x16 glyph of a hex code as lines of # and .", run_glyph},
    {"render", "gb|big5|cns|plain [FILE] -o OUT.pbm [--fonts DIR]",
     "lay text out as a Chinese view does and write the picture as PBM", run_render},
};

}  // namespace

std::span<const cli_command> cli_commands() {
  return kCommands;
}

int cli_usage(const cli_command& command) {
  std::fprintf(stderr, "usage: kestrel-mail %.*s %.*s\n", static_cast<int>(command.name.size()),
               command.name.data(), static_cast<int>(command.arguments.size()),
               command.arguments.data());
  return EXIT_USAGE;
}
