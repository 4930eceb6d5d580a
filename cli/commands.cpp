#include "cli/commands.h"

#include <cstdio>

namespace {

constexpr cli_command kCommands[] = {
    {"date", "TEXT", "parse an internal date and print it in its two printed forms", run_date},
    {"remote", "NAME", "parse a remote mailbox name and print it as JSON", run_remote},
    {"parse", "[FILE] [--section S [--decode]]",
     "parse a message: its envelope and body structure as JSON, or the bytes of one section",
     run_parse},
    {"encode", "base64|qp", "encode standard input in base64 or quoted-printable", run_encode},
    {"decode", "base64|qp", "decode base64 or quoted-printable from standard input", run_decode},
    {"convert", "gb-to-iso2022cn|iso2022cn-to-gb|big5-to-iso2022cn",
     "convert Chinese text from standard input to standard output", run_convert},
    {"glyph", "hzk16|kcm14|cns1|cns2 CODE [--fonts DIR]",
     "print the 16x16 glyph of a hex code as lines of # and .", run_glyph},
    {"render", "gb|big5|cns|plain [FILE] -o OUT.pbm [--fonts DIR]",
     "lay text out as a Chinese view does and write the picture as PBM", run_render},
    {"ls", "MAILBOX [--json]", "list the messages of a mailbox: flags, date, size, from, subject",
     run_ls},
    {"cat", "MAILBOX N [--header|--text|--section S]", "print a message, or a part of it", run_cat},
    {"append", "MAILBOX [FILE] [--flags LIST] [--date TEXT]",
     "add a message (FILE or standard input) to a mailbox", run_append},
    {"flag", "MAILBOX SEQUENCE LIST [--clear]", "set (or clear) flags such as \\Seen", run_flag},
    {"search", "MAILBOX CRITERIA", "print the numbers of the messages that match", run_search},
    {"expunge", "MAILBOX", "remove the messages flagged \\Deleted", run_expunge},
    {"copy", "MAILBOX SEQUENCE DEST [--move]", "copy (or move) messages to another mailbox",
     run_copy},
    {"create", "NAME", "create an empty mailbox", run_create},
    {"delete", "NAME", "delete a mailbox", run_delete},
    {"rename", "OLD NEW", "rename a mailbox", run_rename},
    {"subscribe", "NAME", "add a mailbox to the subscriptions", run_subscribe},
    {"unsubscribe", "NAME", "remove a mailbox from the subscriptions", run_unsubscribe},
    {"list", "PATTERN [--all]", "list the subscribed mailboxes that match (* and % wildcards)",
     run_list},
    {"send",
     "--server HOST[:PORT][/tls|/starttls] --from ADDRESS --to LIST [--cc LIST] [--bcc LIST] "
     "[--subject TEXT] [--charset LABEL] [--8bit] [--attach FILE]... [--out FILE.box] "
     "[--dry-run] [--user NAME] [--cafile FILE] [--allow-plain] [--debug] [FILE]",
     "send a letter (its UTF-8 text from FILE or standard input) over SMTP, as the composer "
     "sends it",
     run_send},
    {"box", "show|cat|view|import|export ...",
     "list, print, fill or export a mailbox document (.box); \"box\" alone shows how", run_box},
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
