#include <cstdio>

#include "model/huge.h"
#include "model/letter_text.h"
#include "model/message.h"
#include "cli/box_commands.h"
#include "cli/streams.h"

int box_cat(cli_arguments arguments) {
  std::vector<std::string> words;
  std::string section;
  long platform = 3;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    if (arguments[i] == "--part" && i + 1 < arguments.size()) {
      section = arguments[++i];
    } else if (arguments[i] == "--platform" && i + 1 < arguments.size()) {
      const std::string& value = arguments[++i];
      if (value.size() != 1 || value[0] < '0' || value[0] > '3') return EXIT_USAGE;
      platform = value[0] - '0';
    } else if (!arguments[i].starts_with("--")) {
      words.push_back(arguments[i]);
    } else {
      return EXIT_USAGE;
    }
  }
  if (words.size() != 2) return EXIT_USAGE;
  std::unique_ptr<CVelmarDocData> document = box_open_or_report(words[0]);
  if (!document) return EXIT_FAILED;
  const CAletter* letter = box_letter_or_report(*document, words[0], words[1]);
  if (!letter) return EXIT_FAILED;
  if (section.empty()) {
    return output_write(letter_display_text(*letter, platform)) ? EXIT_DONE : EXIT_FAILED;
  }
  const CBody* body = letter_section(letter->body, section);
  if (!body) {
    std::fprintf(stderr, "kestrel-mail: letter %s has no part %s\n", words[1].c_str(),
                 section.c_str());
    return EXIT_FAILED;
  }
  if (body->type == 1) {
    std::fprintf(stderr, "kestrel-mail: part %s is multipart; name one of its parts\n",
                 section.c_str());
    return EXIT_FAILED;
  }
  std::string_view bytes = body->text;
  if (const CMessage* message = body->message()) bytes = message->text;
  if (const CHuge* huge = body->huge()) bytes = huge->bytes();
  return output_write(bytes) ? EXIT_DONE : EXIT_FAILED;
}
