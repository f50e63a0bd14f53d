// qzotool stats: the figures of the editor's marks window for a file.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace qz::tool {

// qzotool stats [--by title|group] [--format text|csv|json] [--hardest N]
// FILE, with `args` the words after "stats". Prints, per title section (or
// group), its questions and how many have all five marks right, mostly
// right (4 or 3), mostly wrong (2 or 1) and none right, and its right
// marks; then the totals. --hardest N then lists the N questions with the
// fewest right marks (file order among equals) as FILE:LINE: n/5: question.
// Exit status 0, or 2 on a usage error or a file that cannot be loaded.
int run_stats(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace qz::tool
