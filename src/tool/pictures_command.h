// qzotool pictures FILE: every picture reference of a data file and whether
// the picture loads.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace qz::tool {

// One row per reference: file line number, the reference as written, the
// resolved path and "ok WxH", "missing", "not a picture" or
// "unreadable: reason". Exit 1 when a picture is missing or unreadable.
int run_pictures(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace qz::tool
