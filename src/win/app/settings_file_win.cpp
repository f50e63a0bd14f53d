#include "win/app/settings_file_win.h"

#include "core/prefs/settings_file.h"
#include "win/app/data_file_win.h"

namespace qz {

void read_settings_file(const std::string& path, Preferences& prefs, PrintSettings& print) {
    if (std::optional<std::string> bytes = read_whole_file(nullptr, path))
        read_settings_text(std::move(*bytes), prefs, print);
}

void write_settings_file(const std::string& path, const Preferences& prefs,
                         const PrintSettings& print) {
    replace_file_contents(path, write_settings_text(prefs, print));
}

}  // namespace qz
