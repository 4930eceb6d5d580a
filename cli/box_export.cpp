#include <cstdio>

#include "model/letter_to_mail.h"
#include "cli/box_commands.h"
#include "cli/streams.h"

int box_export(cli_arguments arguments) {
  if (arguments.size() != 2) return EXIT_USAGE;
  std::unique_ptr<CVelmarDocData> document = box_open_or_report(arguments[0]);
  if (!document) return EXIT_FAILED;
  const CAletter* letter = box_letter_or_report(*document, arguments[0], arguments[1]);
  if (!letter) return EXIT_FAILED;
  std::string text;
  if (!letter_rfc822_text(*letter, 0, text)) {
    std::fprintf(stderr, "kestrel-mail: letter %s cannot be written as RFC 822 text\n",
                 arguments[1].c_str());
    return EXIT_FAILED;
  }
  return output_write(text) ? EXIT_DONE : EXIT_FAILED;
}
