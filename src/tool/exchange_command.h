// qzotool export and import: a data file's cards to and from the files of
// other card tools (tab- or comma-separated text, GIFT, Aiken).
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace qz::tool {

// qzotool export --format tsv|csv|gift|aiken [--encoding utf-8|utf-8-bom|cp932]
// FILE [OUT], with `args` the words after "export". Loads FILE as the
// editor opens it and writes its cards in the format (default encoding
// UTF-8) to OUT, through a new file renamed over it, or to the output
// stream when OUT is missing or "-". When cards were left out (a format
// that takes only some kinds of question) or lines that are no questions
// were skipped, one line on the error stream says how many.
// Exit status 0, or 2 on a usage error or a file that cannot be read or
// written.
int run_export(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// qzotool import --format tsv|csv|gift|aiken
// [--encoding utf-8|utf-8-bom|cp932|utf-16le|utf-16be] [--strict] IN OUT,
// with `args` the words after "import". Reads IN's cards (without
// --encoding the encoding is detected; for tsv and csv alike the separator
// and the columns are too, so the two names only differ for export) and
// writes them as a new data file OUT, through a new file renamed over it.
// Aiken questions go under a title named after IN without its extension.
// Every problem is one line on the error stream, IN:ROW: [column N: ]reason
// (IN: reason for the whole file).
// Exit status: 0 when every row was read as it was; 1 when rows were
// refused or characters replaced by "〓" (OUT still gets the other rows;
// with --strict nothing is written); 2 on a usage error, an IN that cannot
// be read at all or an OUT that cannot be written.
int run_import(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace qz::tool
