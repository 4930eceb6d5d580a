#include <cstdio>

#include "cli/box_commands.h"
#include "cli/streams.h"
#include "model/huge.h"
#include "model/letter_display.h"
#include "model/letter_text.h"
#include "model/message.h"
#include "platform/charset_reader.h"

namespace {

constexpr std::uint16_t kText = 0;

// The words of box cat and box view: FILE.box N, an option naming the
// platform setting (0 to 3), --utf8, and what else the command takes.
struct letter_words {
  std::vector<std::string> words;
  long platform = 3;
  bool utf8 = false;
  std::string section;
};

std::optional<letter_words> parse(cli_arguments arguments, std::string_view platform_option,
                                  bool with_part) {
  letter_words parsed;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& word = arguments[i];
    if (with_part && word == "--part" && i + 1 < arguments.size()) {
      parsed.section = arguments[++i];
    } else if (word == platform_option && i + 1 < arguments.size()) {
      const std::string& value = arguments[++i];
      if (value.size() != 1 || value[0] < '0' || value[0] > '3') return std::nullopt;
      parsed.platform = value[0] - '0';
    } else if (word == "--utf8") {
      parsed.utf8 = true;
    } else if (!word.starts_with("--")) {
      parsed.words.push_back(word);
    } else {
      return std::nullopt;
    }
  }
  if (parsed.words.size() != 2) return std::nullopt;
  return parsed;
}

// The letter's text as the viewer (English) or the list's Save (Chinese)
// makes it, or converted to UTF-8 for a terminal.
int write_letter(const letter_words& parsed, letter_labels labels) {
  std::unique_ptr<CVelmarDocData> document = box_open_or_report(parsed.words[0]);
  if (!document) return EXIT_FAILED;
  const CAletter* letter = box_letter_or_report(*document, parsed.words[0], parsed.words[1]);
  if (!letter) return EXIT_FAILED;
  letter_format format;
  format.labels = labels;
  format.platform = parsed.platform;
  letter_text text = format_letter(*letter, format);
  return output_write(parsed.utf8 ? letter_text_utf8(text) : text.bytes) ? EXIT_DONE : EXIT_FAILED;
}

}  // namespace

int box_view(cli_arguments arguments) {
  std::optional<letter_words> parsed = parse(arguments, "--hzos", false);
  if (!parsed) return EXIT_USAGE;
  return write_letter(*parsed, letter_labels::english);
}

int box_cat(cli_arguments arguments) {
  std::optional<letter_words> parsed = parse(arguments, "--platform", true);
  if (!parsed) return EXIT_USAGE;
  if (parsed->section.empty()) return write_letter(*parsed, letter_labels::chinese);
  std::unique_ptr<CVelmarDocData> document = box_open_or_report(parsed->words[0]);
  if (!document) return EXIT_FAILED;
  const CAletter* letter = box_letter_or_report(*document, parsed->words[0], parsed->words[1]);
  if (!letter) return EXIT_FAILED;
  const std::string& section = parsed->section;
  const CBody* body = letter_section(letter->body, section);
  if (!body) {
    std::fprintf(stderr, "kestrel-mail: letter %s has no part %s\n", parsed->words[1].c_str(),
                 section.c_str());
    return EXIT_FAILED;
  }
  if (body->type == 1) {
    std::fprintf(stderr, "kestrel-mail: part %s is multipart; name one of its parts\n",
                 section.c_str());
    return EXIT_FAILED;
  }
  if (parsed->utf8 && body->type != kText) {
    std::fprintf(stderr, "kestrel-mail: part %s is not text; --utf8 converts text only\n",
                 section.c_str());
    return EXIT_FAILED;
  }
  std::string_view bytes = body->text;
  if (const CMessage* message = body->message()) bytes = message->text;
  if (const CHuge* huge = body->huge()) bytes = huge->bytes();
  if (parsed->utf8) {
    std::string charset = text_part_charset(*body, parsed->platform);
    return output_write(charset_to_utf8(bytes, charset).value_or(std::string(bytes))) ? EXIT_DONE
                                                                                      : EXIT_FAILED;
  }
  return output_write(bytes) ? EXIT_DONE : EXIT_FAILED;
}
