// Reading and writing the open data file on disk.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "core/document/card_document.h"
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

// What reading a data file gave.
struct ReadOutcome {
    bool ok = false;             // the document holds the file's lines
    bool magic_matched = false;  // a data file's magic: it enters the recent list
    LoadResult result;
};

// Reads the data file at `path` into `into` (an empty document, which gets
// the file name); when it cannot, `into` stays empty and a message says
// why (when an owner window is given).
ReadOutcome read_data_file_at(HWND owner, const std::string& path, CardDocument& into);

// Writes `doc` over `path` (asking first when the file is read-only); false
// after "書き込みできません。" with the path and the system's reason.
bool write_data_file_at(HWND owner, const CardDocument& doc, const std::string& path);

// The full path of `path` (without "." or ".." steps); `path` itself when
// the system gives none.
std::string full_path(const std::string& path);

}  // namespace qz
