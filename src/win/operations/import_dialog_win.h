// The import dialog: how another card tool's file is read (format,
// encoding, separator, what each column holds), the lines it gives and
// what reading found wrong. It changes nothing itself: it gives the lines
// the caller inserts.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/document/data_line.h"
#include "core/exchange/exchange.h"

namespace qz {

struct ImportDialogRequest {
    std::string_view bytes;  // the file's contents, alive while the dialog is
    std::string file_name;   // its path (UTF-8)
    // Of the document the lines go into: tags are read as its group names,
    // lines are made in its format.
    GroupNames groups = builtin_group_names();
    int version = 14;
};

// The formats as the import and export dialogs list them, in the order of
// ExchangeFormat: "タブ区切りテキスト", "コンマ区切りテキスト (CSV)", ...
const char* exchange_format_label(ExchangeFormat format);

// The lines to insert (titles and questions, at least one question); none
// when cancelled.
std::optional<std::vector<DataLine>> ask_import(HWND owner, const ImportDialogRequest& request);

}  // namespace qz
