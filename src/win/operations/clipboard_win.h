// Copy, cut and paste of lines through the clipboard, in the data file's own
// line format: as CF_TEXT (code page 932 bytes) and as CF_UNICODETEXT.
#pragma once

#include <windows.h>

namespace qz {

// Puts the selected lines on the clipboard, the main window as its owner;
// a failure is said over `owner`.
bool copy_lines_to_clipboard(HWND owner);
// Copies the selected lines, then deletes them.
void cut_lines(HWND owner);
// Inserts the clipboard's lines after the current line, read from its
// CF_UNICODETEXT when it has one (characters code page 932 cannot hold become
// "〓", which the status bar tells), else from its CF_TEXT. With the focus
// elsewhere than on the line list, the focused window gets WM_PASTE.
void paste_lines();

}  // namespace qz
