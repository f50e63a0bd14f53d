// Copy, cut and paste of lines through the clipboard (CF_TEXT, code page
// 932, the data file's own line format).
#pragma once

#include <windows.h>

namespace qz {

// Puts the selected lines on the clipboard, the main window as its owner;
// a failure is said over `owner`.
bool copy_lines_to_clipboard(HWND owner);
// Copies the selected lines, then deletes them.
void cut_lines(HWND owner);
// Inserts the clipboard's lines after the current line. With the focus
// elsewhere than on the line list, the focused window gets WM_PASTE.
void paste_lines();

}  // namespace qz
