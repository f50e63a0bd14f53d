// Reading and writing the open data file on disk.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "core/document/data_file.h"

namespace qz {

// The whole data file; nullopt on failure, after a message saying why and
// naming the file when an owner window is given.
std::optional<std::string> read_whole_file(HWND owner, const std::string& path);

// Replaces the file with `bytes` without ever leaving it half written: the
// text goes to a new file in the same folder, is flushed, takes over the
// old file's attributes and access rights, and then takes the old file's
// place in one rename. A link is followed: its target is replaced. A
// read-only file is replaced only when `over_read_only` is set, and stays
// read-only. Returns ERROR_SUCCESS, or the error code of the step that
// failed; the old file is then untouched and the new one removed. A
// successful save removes the copies that interrupted saves left.
DWORD replace_file_contents(const std::string& path, const std::string& bytes,
                            bool over_read_only = false);

// Told what reading found, after the document was read.
using FileReadObserver = void (*)(const LoadResult& result);
void set_file_read_observer(FileReadObserver observer);

// Loads the document's `file_name`; false after a message, with the
// document left without lines.
bool load_data_file(HWND owner);

// Saves the document under its `file_name` (Save As for a document that was
// never saved); true only when the file was written.
bool save_data_file(HWND owner);

}  // namespace qz
