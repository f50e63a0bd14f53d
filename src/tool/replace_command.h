// qzotool replace: the editor's Replace All on a file.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace qz::tool {

// qzotool replace [--fields tqac] [--case] [--width] [--kana] FIND
// REPLACEMENT FILE [OUT], with `args` the words after "replace". FIND and
// REPLACEMENT are compared and put in as the editor's replace dialog does
// (REPLACEMENT literally; it may be empty). --fields names the fields to
// replace in (t title, q question, a answer, c comment; default all);
// --case, --width and --kana distinguish case, full and half width, and
// hiragana and katakana. The result is written to OUT, or over FILE when no
// OUT is given and something was replaced, always through a new file
// renamed over the old one. Prints the editor's summary.
// Exit status: 0 when lines were replaced, 1 when none was (nothing matched,
// or every line that matched was left alone), 2 on a usage error or a file
// that cannot be read or written.
int run_replace(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace qz::tool
