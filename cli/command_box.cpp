#include <cstdio>
#include <cstdlib>

#include "cli/box_commands.h"
#include "cli/commands.h"
#include "model/box_file.h"

namespace {

struct box_subcommand {
  std::string_view name;
  std::string_view arguments;
  int (*run)(cli_arguments arguments);
};

constexpr box_subcommand kSubcommands[] = {
    {"show", "FILE.box [--json]", box_show},
    {"cat", "FILE.box N [--part S] [--platform 0-3] [--utf8]", box_cat},
    {"view", "FILE.box N [--hzos 0-3] [--utf8]", box_view},
    {"import",
     "MAILBOX FILE.box [--user NAME] [--debug] [--delete] [--skip-larger-than BYTES]"
     " [--name NAME]",
     box_import},
    {"export", "FILE.box N", box_export},
};

}  // namespace

std::unique_ptr<CVelmarDocData> box_open_or_report(const std::string& path) {
  std::string reason;
  std::unique_ptr<CVelmarDocData> document = box_file_open(path, reason);
  if (!document) std::fprintf(stderr, "%s\n%s: %s\n", kOpenFailed, path.c_str(), reason.c_str());
  return document;
}

const CAletter* box_letter_or_report(const CVelmarDocData& document, const std::string& path,
                                     const std::string& number) {
  char* end = nullptr;
  const unsigned long n = std::strtoul(number.c_str(), &end, 10);
  if (number.empty() || *end || number[0] == '-' || n == 0 || n > document.letters.size()) {
    std::fprintf(stderr, "kestrel-mail: no letter %s in %s (it holds %zu)\n", number.c_str(),
                 path.c_str(), document.letters.size());
    return nullptr;
  }
  return document.letters[n - 1].get();
}

int run_box(const cli_command& command, cli_arguments arguments) {
  if (!arguments.empty()) {
    for (const box_subcommand& subcommand : kSubcommands) {
      if (subcommand.name == arguments[0]) {
        const int result = subcommand.run(arguments.subspan(1));
        if (result != EXIT_USAGE) return result;
        std::fprintf(stderr, "usage: kestrel-mail box %.*s %.*s\n",
                     static_cast<int>(subcommand.name.size()), subcommand.name.data(),
                     static_cast<int>(subcommand.arguments.size()), subcommand.arguments.data());
        return EXIT_USAGE;
      }
    }
  }
  cli_usage(command);
  for (const box_subcommand& subcommand : kSubcommands) {
    std::fprintf(stderr, "       kestrel-mail box %.*s %.*s\n",
                 static_cast<int>(subcommand.name.size()), subcommand.name.data(),
                 static_cast<int>(subcommand.arguments.size()), subcommand.arguments.data());
  }
  return EXIT_USAGE;
}
