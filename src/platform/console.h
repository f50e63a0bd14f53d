// What qzotool needs of the system beyond files: its arguments and the
// encoding its text output is read in.
#pragma once

#include <string>
#include <vector>

namespace qz {

// The program's arguments after its name, as UTF-8 (on Windows taken from
// the UTF-16 command line, so that any file name comes through).
std::vector<std::string> program_arguments(int argc, char** argv);

// Whether text output is read as code page 932: on Windows when the
// console's output code page is 932 (without a console, the system's OEM
// code page); UTF-8 otherwise. Never elsewhere.
bool output_in_cp932();

}  // namespace qz
