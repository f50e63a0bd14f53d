// The settings file on disk.
#pragma once

#include <string>

#include "core/prefs/preferences.h"
#include "core/print/print_settings.h"

namespace qz {

// Reads the file into the records; a missing or unreadable file leaves the
// defaults, silently.
void read_settings_file(const std::string& path, Preferences& prefs, PrintSettings& print);
// Rewrites the file whole; a failure is not reported.
void write_settings_file(const std::string& path, const Preferences& prefs,
                         const PrintSettings& print);

}  // namespace qz
