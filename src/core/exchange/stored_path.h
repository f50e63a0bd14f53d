// Paths as the settings file keeps them. The program holds paths as UTF-8;
// the settings file is code page 932 text. A path code page 932 holds is
// written in it as before; one it cannot hold (a Korean folder, an accented
// Latin letter, an emoji) is written as kUtf8PathPrefix and its UTF-8
// bytes. No path of an older file starts that way: a colon is never part
// of a Windows file name and a drive is one letter.
#pragma once

#include <string>
#include <string_view>

#include "core/prefs/settings_file.h"  // kUtf8PathPrefix

namespace qz {

// The settings file's form of a UTF-8 path.
std::string stored_path(std::string_view utf8);

// The UTF-8 path a stored one (written by this or an older program) names.
std::string path_from_stored(std::string_view stored);

}  // namespace qz
