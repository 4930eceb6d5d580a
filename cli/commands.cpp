#include "cli/commands.h"

#include <cstdio>

namespace {

constexpr cli_command kCommands[] = {
    {"date", "TEXT", "parse an internal date and print it in its two printed forms", run_date},
    {"remote", "NAME", "parse a remote mailbox specification and print it as JSON", run_remote},
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
