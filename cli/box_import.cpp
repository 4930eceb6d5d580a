#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "app/box_file.h"
#include "app/letter_from_mail.h"
#include "cli/box_commands.h"
#include "cli/mailbox_login.h"
#include "mail/cache.h"
#include "mail/fetch.h"
#include "mail/open_close.h"
#include "mail/parameters.h"
#include "mail/stream.h"
#include "net/imap_driver.h"

namespace {

struct import_options {
  std::string mailbox;
  std::string file;
  std::string user;
  bool delete_taken = false;
  std::optional<std::uint32_t> skip_larger_than;
};

bool parse(cli_arguments arguments, import_options& options) {
  std::vector<std::string> words;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& word = arguments[i];
    const bool has_value = i + 1 < arguments.size();
    if (word == "--delete") {
      options.delete_taken = true;
    } else if (word == "--user" && has_value) {
      options.user = arguments[++i];
    } else if (word == "--skip-larger-than" && has_value) {
      const std::string& value = arguments[++i];
      char* end = nullptr;
      errno = 0;
      const unsigned long long bytes = std::strtoull(value.c_str(), &end, 10);
      if (value.empty() || *end || value[0] == '-' || errno || bytes > UINT32_MAX) return false;
      options.skip_larger_than = static_cast<std::uint32_t>(bytes);
    } else if (word.starts_with("--")) {
      return false;
    } else {
      words.push_back(word);
    }
  }
  if (words.size() != 2) return false;
  options.mailbox = words[0];
  options.file = words[1];
  return true;
}

bool file_exists(const std::string& path) {
  struct stat status {};
  return stat(path.c_str(), &status) == 0;
}

}  // namespace

int box_import(cli_arguments arguments) {
  import_options options;
  if (!parse(arguments, options)) return EXIT_USAGE;

  // The mailbox file is read first, so a damaged one stops the import before
  // anything is taken.
  std::unique_ptr<CVelmarDocData> document;
  if (file_exists(options.file)) {
    document = box_open_or_report(options.file);
    if (!document) return EXIT_FAILED;
  } else {
    document = std::make_unique<CVelmarDocData>();
    document->mailbox_name = "IN";
  }

  mail_link_driver(&imap_driver);
  cli_install_login(options.user);
  mail_stream* stream = mail_open(nullptr, options.mailbox, 0);
  if (!stream) {
    std::fprintf(stderr, "kestrel-mail: cannot open %s\n", options.mailbox.c_str());
    return EXIT_FAILED;
  }
  std::vector<std::uint32_t> taken;
  int result = EXIT_DONE;
  for (std::uint32_t n = 1; n <= stream->nmsgs; ++n) {
    if (!mail_fetchstructure(stream, n, nullptr)) {
      std::fprintf(stderr, "kestrel-mail: letter %u cannot be fetched; it stays in %s\n", n,
                   options.mailbox.c_str());
      result = EXIT_FAILED;
      continue;
    }
    const std::uint32_t size = mail_elt(stream, n)->rfc822_size;
    if (options.skip_larger_than && size > *options.skip_larger_than) {
      std::fprintf(stderr, "kestrel-mail: letter %u has %u bytes; it stays in %s\n", n, size,
                   options.mailbox.c_str());
      continue;
    }
    std::unique_ptr<CAletter> letter = letter_from_stream(stream, n);
    if (!letter) {
      std::fprintf(stderr, "kestrel-mail: letter %u cannot be converted; it stays in %s\n", n,
                   options.mailbox.c_str());
      result = EXIT_FAILED;
      continue;
    }
    document->letters.push_back(std::move(letter));
    taken.push_back(n);
  }

  std::string reason;
  if (!box_file_save(options.file, *document, reason)) {
    std::fprintf(stderr, "%s\n%s: %s\n", kSaveFailed, options.file.c_str(), reason.c_str());
    // Nothing leaves the mailbox when its letters were not saved.
    mail_close(stream);
    return EXIT_FAILED;
  }
  if (options.delete_taken && !taken.empty()) {
    for (std::uint32_t n : taken)
      mail_setflag(stream, std::to_string(n), "\\DELETED");
    mail_release(stream, RELEASE_ENVELOPES);
    mail_expunge(stream);
  }
  mail_close(stream);
  std::printf("取到 %zu 个邮件.\n", taken.size());
  return result;
}
