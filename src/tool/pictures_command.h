// qzotool pictures FILE: every picture reference of a data file and whether
// the picture loads.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "core/exchange/media_check.h"

namespace qz::tool {

// The folders and files of this system as the media check takes them
// (paths as the editor writes them).
MediaLister media_lister();
MediaHeadReader media_head_reader();

// One row per reference: file line number, the reference as written, the
// resolved path and "ok WxH", "missing", "not a picture" or
// "unreadable: reason". Exit 1 when a picture is missing or unreadable.
// With --unused FILE: the picture files no line uses, one path a line (exit
// 1 when there are some).
int run_pictures(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace qz::tool
