// The File menu's インポート and エクスポート: another card tool's file read
// into the document as one undoable insertion, and the document (or the
// selected lines) written as such a file.
#pragma once

#include <windows.h>

#include <string>

namespace qz {

// Chooses a file, reads it and runs the import dialog; the lines it gives
// go in after the current line (at the start of a new, empty document),
// selected.
void import_cards_command(HWND main_window);

// Runs the export dialog and writes the cards of its scope.
void export_cards_command(HWND main_window);

// Where an export to `export_path` copies its pictures: the path without
// its extension, and "_media".
std::string media_folder_of(const std::string& export_path);

}  // namespace qz
