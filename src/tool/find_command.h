// qzotool find: the file line numbers of the lines that contain a text,
// matched the way the editor's find commands match.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "core/document/data_file.h"
#include "core/operations/matching.h"

namespace qz::tool {

// qzotool find [--conditions HEX] TEXT FILE, with `args` the words after
// "find". Prints the file line number (index + 2) of every matching line, in
// file order, one per line. HEX is the search-conditions byte (default F7).
// Exit status: 0 when a line matched, 1 when none did, 2 on a usage error or
// a file that cannot be loaded.
int run_find(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// The file line numbers of the lines that match, one a line, as the
// editor's find gives them on the loaded document. The lines are read in
// place, a run of lines at a time (split_lines), and only those that hold
// the table's required bytes are classified and searched (a title's text
// likewise).
class LineFinder {
public:
    LineFinder(const MatchTable& table, int version) : table_(table), version_(version) {}
    // The next run of whole lines [p, end).
    void read(char* p, char* end);
    const std::string& numbers() const { return numbers_; }

private:
    const MatchTable& table_;
    int version_;
    int index_ = 0;
    bool title_hit_ = false;  // the title governing the line matches
    std::string numbers_;
    std::string comment_;
};

// The search text of the command line as code page 932 bytes. On Linux the
// terminal's text is UTF-8 and is converted; on failure the result is none
// and `problem` describes the first character that has no code page 932
// form (or is not UTF-8). On Windows the text already is code page 932.
std::optional<std::string> search_text_from_terminal(std::string_view text, std::string& problem);

}  // namespace qz::tool
