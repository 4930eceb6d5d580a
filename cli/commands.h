#pragma once

#include <span>
#include <string>
#include <string_view>

// Exit codes of every command.
enum : int { EXIT_DONE = 0, EXIT_FAILED = 1, EXIT_USAGE = 2 };

using cli_arguments = std::span<const std::string>;  // the words after the command

struct cli_command {
  std::string_view name;
  std::string_view arguments;  // as shown in the usage line
  std::string_view summary;
  int (*run)(const cli_command& command, cli_arguments arguments);
};

// Every command, in the order --help lists them.
std::span<const cli_command> cli_commands();

// Prints "usage: kestrel-mail NAME ARGUMENTS" on standard error; returns EXIT_USAGE.
int cli_usage(const cli_command& command);

int run_date(const cli_command& command, cli_arguments arguments);
int run_remote(const cli_command& command, cli_arguments arguments);
int run_parse(const cli_command& command, cli_arguments arguments);
int run_encode(const cli_command& command, cli_arguments arguments);
int run_decode(const cli_command& command, cli_arguments arguments);
int run_convert(const cli_command& command, cli_arguments arguments);
int run_glyph(const cli_command& command, cli_arguments arguments);
int run_render(const cli_command& command, cli_arguments arguments);
int run_ls(const cli_command& command, cli_arguments arguments);
int run_cat(const cli_command& command, cli_arguments arguments);
int run_append(const cli_command& command, cli_arguments arguments);
int run_flag(const cli_command& command, cli_arguments arguments);
int run_search(const cli_command& command, cli_arguments arguments);
int run_expunge(const cli_command& command, cli_arguments arguments);
int run_copy(const cli_command& command, cli_arguments arguments);
int run_create(const cli_command& command, cli_arguments arguments);
int run_delete(const cli_command& command, cli_arguments arguments);
int run_rename(const cli_command& command, cli_arguments arguments);
int run_subscribe(const cli_command& command, cli_arguments arguments);
int run_unsubscribe(const cli_command& command, cli_arguments arguments);
int run_list(const cli_command& command, cli_arguments arguments);
int run_send(const cli_command& command, cli_arguments arguments);
int run_box(const cli_command& command, cli_arguments arguments);
