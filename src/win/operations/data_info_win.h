// The data information dialog (613): what the document holds, and its
// format version to change.
#pragma once

#include <windows.h>

#include <optional>

#include "core/operations/data_info.h"

namespace qz {

// Shows `info`; the version chosen with OK (12-14), after the question when
// settings lines would become comments, or nothing after Cancel.
std::optional<int> run_data_info_dialog(HWND owner, const DataInfo& info);

// The "データ情報(&I)..." command: the dialog over the document, then the
// version change as one undoable step.
void show_data_information(HWND owner);

}  // namespace qz
