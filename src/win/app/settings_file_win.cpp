#include "win/app/settings_file_win.h"

#include <algorithm>

#include "core/exchange/stored_path.h"
#include "core/prefs/settings_file.h"
#include "win/app/data_file_win.h"

namespace qz {

// The recent files are UTF-8 paths in the program and code page 932 text
// in the file (core/exchange/stored_path.h says how a path code page 932
// cannot hold is kept).
void read_settings_file(const std::string& path, Preferences& prefs, PrintSettings& print) {
    std::optional<std::string> bytes = read_whole_file(nullptr, path);
    if (!bytes) return;
    std::vector<std::string> present = std::move(prefs.recent_files);
    prefs.recent_files.clear();
    read_settings_text(std::move(*bytes), prefs, print);
    for (std::string& file : prefs.recent_files) file = path_from_stored(file);
    for (std::string& file : present) {
        if (prefs.recent_files.size() >= static_cast<std::size_t>(kMaxRecentFiles)) break;
        if (std::find(prefs.recent_files.begin(), prefs.recent_files.end(), file) ==
            prefs.recent_files.end())
            prefs.recent_files.push_back(std::move(file));
    }
}

void write_settings_file(const std::string& path, const Preferences& prefs,
                         const PrintSettings& print) {
    Preferences stored = prefs;
    for (std::string& file : stored.recent_files) file = stored_path(file);
    replace_file_contents(path, write_settings_text(stored, print));
}

}  // namespace qz
