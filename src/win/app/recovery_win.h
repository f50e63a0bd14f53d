// The recovery file of the open document: written now and then from a copy
// of its content, taken on this thread and written on one of its own, so
// that typing never waits for the disk; removed once the document is saved
// or closed; offered again when its data file is opened.
#pragma once

#include <windows.h>

#include <string>

namespace qz {

// The main window's timer that drives the writes (WM_TIMER).
inline constexpr UINT_PTR kRecoveryTimer = 0x5152;
void start_recovery_timer(HWND main_window);
void recovery_tick();

// The recovery file of a document named `file_name` (UNTITLED_NAME: the
// untitled one, beside the settings file).
std::string recovery_file_of(const std::string& file_name);

// Removes the recovery file this editor wrote for the open document, after
// a write under way has ended (saved, closed without saving, another
// document opened). A file it did not write is left alone.
void remove_recovery_file();

// Takes the restored recovery file at `path` as the open document's own.
void adopt_recovery_file(const std::string& path);

// What opening a file does with a recovery file written after it: nothing
// to offer (or discarded by the user), restore it, or open nothing.
enum class RecoveryOffer { open, restore, cancel };
// Asks "前回の編集内容が残っています。復元しますか？" when the recovery file of
// `file_name` is newer than the file and no other editor is writing it;
// `recovery` gets its path.
RecoveryOffer offer_recovery(HWND owner, const std::string& file_name, std::string& recovery);

// Waits for a write under way (before the program ends).
void finish_recovery();

}  // namespace qz
