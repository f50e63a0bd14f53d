// The print preview window (623): the pages printing would print, laid out
// on the page setup's printer with its fonts and drawn by the same code on a
// screen page mapped like the printer's paper, one page at a time, fitted to
// the window or at its actual size.
#pragma once

#include <windows.h>

namespace qz {

// The "印刷プレビュー(&V)..." command: counts the pages on the printer and
// opens the preview over the main window, which stays disabled until the
// preview closes. Nothing opens after a message (no printer, nothing to
// print). "印刷..." in the preview closes it and runs the print command.
void show_print_preview(HWND main_window);

// The preview window, or null while it is closed.
HWND print_preview_window();

}  // namespace qz
