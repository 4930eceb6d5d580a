#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "model/box_file.h"
#include "model/letter_from_mail.h"
#include "cli/box_commands.h"
#include "cli/mail_session.h"
#include "cli/options.h"
#include "mail/cache.h"
#include "mail/fetch.h"
#include "mail/setflag_expunge.h"

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
      session_options({{"--delete", false}, {"--skip-larger-than", true}});
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
    document->mailbox_name = "IN";
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
  std::vector<std::uint32_t> taken;
  int result = EXIT_DONE;
  for (std::uint32_t n = 1; n <= stream->nmsgs; ++n) {
    if (!mail_fetchstructure(stream, n, nullptr)) {
      std::fprintf(stderr, "kestrel-mail: letter %u cannot be fetched; it stays in %s\n", n,
                   mailbox.c_str());
      result = EXIT_FAILED;
      continue;
    }
    const std::uint32_t size = mail_elt(stream, n)->rfc822_size;
    if (skip_larger_than && size > *skip_larger_than) {
      std::fprintf(stderr, "kestrel-mail: letter %u has %u bytes; it stays in %s\n", n, size,
                   mailbox.c_str());
      continue;
    }
    std::unique_ptr<CAletter> letter = letter_from_stream(stream, n);
    if (!letter) {
      std::fprintf(stderr, "kestrel-mail: letter %u cannot be converted; it stays in %s\n", n,
                   mailbox.c_str());
      result = EXIT_FAILED;
      continue;
    }
    document->letters.push_back(std::move(letter));
    taken.push_back(n);
  }

  std::string reason;
  if (!box_file_save(file, *document, reason)) {
    std::fprintf(stderr, "%s\n%s: %s\n", kSaveFailed, file.c_str(), reason.c_str());
    // Nothing leaves the mailbox when its letters were not saved.
    return EXIT_FAILED;
  }
  if (delete_taken && !taken.empty()) {
    for (std::uint32_t n : taken)
      mail_setflag(stream, std::to_string(n), "\\DELETED");
    mail_release(stream, RELEASE_ENVELOPES);
    mail_expunge(stream);
  }
  opened.reset();
  std::printf("取到 %zu 个邮件.\n", taken.size());
  return result;
}
