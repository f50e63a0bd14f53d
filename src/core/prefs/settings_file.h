// The settings file "QZOEDIT.INI": its text form, the key lookups over it and
// the recent-file list.
//
// The file looks like an INI file but is read with simpler rules: a key is
// found at the start of any line, whatever section it stands in, and the first
// line that carries it wins. The file is always rewritten whole, in a fixed
// layout, with CR LF line ends.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/prefs/preferences.h"
#include "core/print/print_settings.h"

namespace qz {

inline constexpr char kSettingsFileName[] = "QZOEDIT.INI";

// Longest recent-file path kept from the file (MAX_PATH less the NUL).
inline constexpr std::size_t kMaxRecentPath = 259;
// A recent file code page 932 cannot hold is kept as this prefix and its
// UTF-8 path (core/exchange/stored_path.h), at most 3 bytes a character.
inline constexpr char kUtf8PathPrefix[] = "utf8:";
inline constexpr std::size_t kMaxRecentUtf8Path = sizeof kUtf8PathPrefix - 1 + 3 * kMaxRecentPath;

// Finds the first line of a working buffer (lines ended by 0x01; a NUL ends
// the text) that begins with `key` (case-sensitive) immediately followed by
// '=', and copies the rest of that line, untrimmed, into `value`. False, with
// `value` untouched, when no line carries the key.
bool settings_string(std::string_view text, std::string_view key, std::string& value);

// The same lookup with the value converted like StrToIntA (leading blanks,
// optional sign, decimal digits up to the first other byte; no digits give 0).
bool settings_int(std::string_view text, std::string_view key, int& value);

// Overwrites the preferences and print settings with what the raw file bytes
// hold. Absent keys and values out of their range leave the field as it is;
// the stored recent files are put in front of the list already present.
void read_settings_text(std::string bytes, Preferences& prefs, PrintSettings& print);

// The whole file as written at exit: sections [Window], [Recent], [Option],
// [Fonts] and [Print], CR LF line ends, an empty line between sections.
std::string write_settings_text(const Preferences& prefs, const PrintSettings& print);

// Puts a path at the top of the recent-file list (most recent first). An
// entry equal to it apart from the case of ASCII letters is removed first, so
// the latest spelling wins; the list never grows beyond kMaxRecentFiles.
void add_recent_file(std::vector<std::string>& list, std::string path);

}  // namespace qz
