// Where the line list, the separator bar and the pane sit in the main window.
#pragma once

#include <windows.h>

namespace qz {

// The dots per inch the window is shown at: GetDpiForWindow where user32
// has it (Windows 10 1607 on), otherwise the screen's.
int window_dpi(HWND window);

// Height of a child window; 0 when it is missing or hidden.
int visible_height(HWND child);

// Places the line list, the separator bar and the pane in the client area.
void layout_main_window();

}  // namespace qz
