// The system's open and save dialogs, which tests can replace.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

namespace qz {

// Replaces the open and save dialogs for tests: gets whether it is the save
// dialog and the proposed name, returns the chosen path or nothing (cancel).
// Paths are UTF-8; titles and filters code page 932.
// An empty function restores the dialogs.
using FileDialogHook =
    std::function<std::optional<std::string>(HWND owner, bool save, const std::string& proposed)>;
void set_file_dialog_hook(FileDialogHook hook);

// The open dialog with its own title (null: the system's), filter
// (description and pattern pairs, each ended by NUL) and default
// extension, starting with the proposed name; the chosen path, or nothing
// when cancelled. Goes through the hook above.
std::optional<std::string> choose_open_file(HWND owner, const char* title, const char* filter,
                                            const char* default_extension,
                                            const std::string& proposed = "");
// The save dialog likewise.
std::optional<std::string> choose_save_file(HWND owner, const char* title, const char* filter,
                                            const char* default_extension, const std::string& proposed);

}  // namespace qz
