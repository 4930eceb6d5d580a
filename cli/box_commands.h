#pragma once

#include <memory>
#include <string>

#include "cli/commands.h"
#include "model/velmar_doc_data.h"

// The subcommands of "kestrel-mail box", each given the words after its name.
int box_show(cli_arguments arguments);
int box_cat(cli_arguments arguments);
int box_view(cli_arguments arguments);
int box_import(cli_arguments arguments);
int box_export(cli_arguments arguments);

// The document of a .box file; null after "Failed to open document." and the
// reason on standard error.
std::unique_ptr<CVelmarDocData> box_open_or_report(const std::string& path);

// Letter N (counted from 1) of the document; null after a message.
const CAletter* box_letter_or_report(const CVelmarDocData& document, const std::string& path,
                                     const std::string& number);
