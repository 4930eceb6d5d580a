#include "cli/commands.h"

#include <cstdio>

namespace {

constexpr cli_command kCommands[] = {
    {"date", "TEXT", "parse an internal date and print it in its two printed forms", run_date},
    {"remote", "NAME", "parse a remote mailbox specification and print it as JSON", run_remote},
    {"parse", "[FILE] [--section S [--decode]]",
     "parse a message: its envelope and body structure as JSON, or the bytes of one section",
     run_parse},
    {"encode", "base64|qp", "encode standard input in base64 or quoted-printable", run_encode},
    {"decode", "base64|qp", "decode base64 or quoted-printable from standard input", run_decode},
    {"convert", "gb-to-iso2022cn|iso2022cn-to-gb|big5-to-iso2022cn",
     "convert Chinese text from standard input to standard output", run_convert},
    {"glyph", "hzk16|kcm14|cns1|cns2 CODE [--fonts DIR]",
     "print the 16x16 glyph of a hex code as lines of # and .", run_glyph},
    {"render", "gb|big5|cns|plain [FILE] -o OUT.pbm [--fonts DIR]",
     "lay text out as a Chinese view does and write the picture as PBM", run_render},
    {"box", "show|cat|import|export ...",
     "list, print, fill or export a mailbox document (.box); \"box\" alone shows how", run_box},
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
