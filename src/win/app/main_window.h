// The main window: its procedure only dispatches to the handlers.
#pragma once

#include <windows.h>

namespace qz {

LRESULT CALLBACK main_window_proc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);

// Shows or hides the toolbar (SHOW_TOOLBAR) or the status bar
// (SHOW_STATUS_BAR) and checks its View menu item.
void toggle_bar(HWND main_window, unsigned bit);

}  // namespace qz
