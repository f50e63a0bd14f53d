// New, Open, Save, Save As, recent files and the title bar.
#pragma once

#include <windows.h>

#include <string>

#include "core/document/data_file.h"

namespace qz {

// "<file_name> - Quizo Editor".
void update_title();

// Asks whether to save a modified document. True to go on (saved, or the
// user said No); false when the user cancelled or the save did not happen.
bool confirm_discard(HWND owner);

// Starts an untitled document with one blank line (after the prompt).
bool new_document(HWND owner);

// Told what reading found, once the document read is the one open.
using FileReadObserver = void (*)(const LoadResult& result);
void set_file_read_observer(FileReadObserver observer);

// Saves the document under its file name (Save As for a document that was
// never saved); true only when the file was written.
bool save_document(HWND owner);

// Longest path the editor opens or saves (MAX_PATH less the NUL).
inline constexpr std::size_t kMaxPathLength = MAX_PATH - 1;

// True when `path` is not longer than that; otherwise false after
// "ファイル名が長すぎます（259 文字まで）。" and the path.
bool path_fits(HWND owner, const std::string& path);

// Opens `path` after the prompt has been answered; on failure starts a new
// document. A path that does not fit is refused and nothing changes.
void open_document(HWND owner, const std::string& path);

// At start-up without a file: offers the untitled document's recovery file
// when one is left, else starts a new document.
void start_document(HWND owner);

// The Open and Save As commands.
void open_file_command(HWND owner);
bool save_as(HWND owner);

// Recent files: add (moving an existing entry to the top), open entry i
// (0-4), clear; the menu items above "履歴のクリア(&C)".
void add_recent_file(HWND owner, const std::string& path);
void open_recent_file(HWND owner, int entry);
void clear_recent_files(HWND main_window);
void rebuild_recent_menu(HWND main_window);

}  // namespace qz
