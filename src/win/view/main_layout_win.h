// Where the line list, the separator bar and the pane sit in the main window.
#pragma once

#include <windows.h>

#include "win/base/dpi_win.h"

namespace qz {

// Height of a child window; 0 when it is missing or hidden.
int visible_height(HWND child);

// Places the line list, the separator bar and the pane in the client area.
void layout_main_window();

}  // namespace qz
