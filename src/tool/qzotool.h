// qzotool: checks, lists, normalizes and searches data files from scripts.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace qz::tool {

// Runs one command line (without the program name); returns the exit status.
int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace qz::tool
