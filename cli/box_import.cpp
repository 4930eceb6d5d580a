#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "cli/box_commands.h"
#include "cli/mail_session.h"
#include "cli/options.h"
#include "model/box_file.h"
#include "model/fetch_letters.h"

namespace {

// The size limit of --skip-larger-than; nothing when it is not a count of bytes.
std::optional<std::uint32_t> byte_limit(const std::string& value) {
  char* end = nullptr;
  errno = 0;
  const unsigned long long bytes = std::strtoull(value.c_str(), &end, 10);
  if (value.empty() || *end || value[0] == '-' || errno || bytes > UINT32_MAX) return std::nullopt;
  return static_cast<std::uint32_t>(bytes);
}

bool file_exists(const std::string& path) {
  struct stat status {};
  return stat(path.c_str(), &status) == 0;
}

}  // namespace

int box_import(cli_arguments arguments) {
  const std::vector<cli_option> known =
      session_options({{"--delete", false}, {"--skip-larger-than", true}, {"--name", true}});
  std::optional<cli_parsed> parsed = cli_options_parse(arguments, known);
  if (!parsed || parsed->words.size() != 2) return EXIT_USAGE;
  const std::string& mailbox = parsed->words[0];
  const std::string& file = parsed->words[1];
  const bool delete_taken = parsed->has("--delete");
  std::optional<std::uint32_t> skip_larger_than;
  if (std::optional<std::string> limit = parsed->value("--skip-larger-than")) {
    skip_larger_than = byte_limit(*limit);
    if (!skip_larger_than) return EXIT_USAGE;
  }

  // The mailbox file is read first, so a damaged one stops the import before
  // anything is taken.
  std::unique_ptr<CVelmarDocData> document;
  if (file_exists(file)) {
    document = box_open_or_report(file);
    if (!document) return EXIT_FAILED;
  } else {
    document = std::make_unique<CVelmarDocData>();
    document->mailbox_name = parsed->value("--name").value_or("IN");
  }

  session_start(*parsed);
  session_stream opened = session_open(mailbox, 0);
  if (!opened) return EXIT_FAILED;
  mail_stream* stream = opened.get();
  // Letters taken and left behind would come again with the next import.
  if (delete_taken && stream->readonly) {
    std::fprintf(stderr, "kestrel-mail: %s is read-only; --delete cannot take its letters out\n",
                 mailbox.c_str());
    return EXIT_FAILED;
  }
  fetch_questions questions;
  if (skip_larger_than) questions.large = *skip_larger_than;
  questions.take_large = [&](std::uint32_t n, std::uint32_t size) {
    if (!skip_larger_than) return true;
    std::fprintf(stderr, "kestrel-mail: letter %u has %u bytes; it stays in %s\n", n, size,
                 mailbox.c_str());
    return false;
  };
  fetch_outcome outcome = fetch_letters(stream, questions);
  for (std::uint32_t n : outcome.unreadable) {
    std::fprintf(stderr, "kestrel-mail: letter %u cannot be fetched; it stays in %s\n", n,
                 mailbox.c_str());
  }
  for (auto& letter : outcome.letters)
    document->letters.push_back(std::move(letter));

  std::string reason;
  if (!box_file_save(file, *document, reason)) {
    std::fprintf(stderr, "%s\n%s: %s\n", kSaveFailed, file.c_str(), reason.c_str());
    // Nothing leaves the mailbox when its letters were not saved.
    return EXIT_FAILED;
  }
  if (delete_taken && !outcome.taken.empty()) fetch_expunge(stream, outcome.taken);
  opened.reset();
  std::printf("取到 %zu 个邮件.\n", outcome.taken.size());
  return outcome.unreadable.empty() ? EXIT_DONE : EXIT_FAILED;
}
