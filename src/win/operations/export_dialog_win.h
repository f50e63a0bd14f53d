// The export dialog: the format, the encoding, what is written (the whole
// document or the selected lines) and where. It writes nothing itself.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "core/exchange/exchange.h"

namespace qz {

struct ExportDialogRequest {
    std::string document_name;  // the document's path (or its untitled name)
    int selected_lines = 0;
    // What the dialog starts with (the last export's choice).
    ExchangeFormat format = ExchangeFormat::tsv;
    TextEncoding encoding = TextEncoding::utf8;
    // The save dialog behind 参照: the path chosen for the format, or none.
    std::function<std::optional<std::string>(HWND owner, ExchangeFormat format, const std::string& proposed)>
        browse;
    // Whether a path typed in can be a file's name at all; false after a
    // message saying why not.
    std::function<bool(HWND owner, const std::string& path)> path_fits;
};

struct ExportChoice {
    ExchangeFormat format = ExchangeFormat::tsv;
    TextEncoding encoding = TextEncoding::utf8;
    bool selection = false;  // the selected lines, else the whole document
    // Delimited text: the pictures copied into a folder beside the file
    // (media_folder_of), the references written as the copies' names.
    bool media = false;
    std::string path;  // full
};

// None when cancelled.
std::optional<ExportChoice> ask_export(HWND owner, const ExportDialogRequest& request);

// The name of a file the format is written to: ".tsv", ".csv", else ".txt".
const char* export_extension(ExchangeFormat format);
// `path` with the extension of the format in place of the one it has (one
// of the formats' own extensions) or added (when it has none).
std::string with_export_extension(const std::string& path, ExchangeFormat format);

}  // namespace qz
