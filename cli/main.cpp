// kestrel-mail: the mail library's command-line front end.

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "cli/commands.h"
#include "cli/reports.h"

namespace {

void print_help() {
  std::printf("usage: kestrel-mail COMMAND [ARGUMENTS]\n\ncommands:\n");
  for (const cli_command& command : cli_commands()) {
    std::string line = std::string(command.name) + " " + std::string(command.arguments);
    std::printf("  %-34s %.*s\n", line.c_str(), static_cast<int>(command.summary.size()),
                command.summary.data());
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> words(argv + 1, argv + argc);
  if (words.empty()) {
    std::fprintf(stderr,
                 "usage: kestrel-mail COMMAND [ARGUMENTS] (kestrel-mail --help lists them)\n");
    return EXIT_USAGE;
  }
  if (words[0] == "--help" || words[0] == "-h" || words[0] == "help") {
    print_help();
    return EXIT_DONE;
  }
  cli_install_reports();
  for (const cli_command& command : cli_commands()) {
    if (command.name == words[0]) {
      return command.run(command, cli_arguments(words).subspan(1));
    }
  }
  std::fprintf(stderr, "kestrel-mail: unknown command \"%s\"\n", words[0].c_str());
  std::fprintf(stderr,
               "usage: kestrel-mail COMMAND [ARGUMENTS] (kestrel-mail --help lists them)\n");
  return EXIT_USAGE;
}
