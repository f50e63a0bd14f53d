// Reading and writing the open data file on disk, with the editor's
// messages; the files themselves go through the platform layer
// (platform/file_write.h: replace_file_contents, full_path).
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "core/document/card_document.h"
#include "core/document/data_file.h"
#include "platform/file_write.h"

namespace qz {

// The whole data file; nullopt on failure, after a message saying why and
// naming the file when an owner window is given.
std::optional<std::string> read_whole_file(HWND owner, const std::string& path);

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

}  // namespace qz
