#pragma once

#include <string_view>

// The system flags named by a flag list such as "(\Seen \Deleted)": seen 1,
// deleted 2, flagged 4, answered 8. Parentheses go around the whole list or
// not at all ("Bad flag list", no flags); an unknown word is reported
// ("Unknown flag: ...") and skipped. Letters match whatever their case.
unsigned flag_list_parse(std::string_view list);
